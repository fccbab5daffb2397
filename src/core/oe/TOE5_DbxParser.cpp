#include "oe/TOE5_DbxParser.h"

#include "base/Abort.h"
#include "oe/DbxException.h"
#include "oe/TDbxImpl.h"
#include "oe/TDbxRecord.h"
#include "oe/TDbxStream.h"

namespace {

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Message attribute ids: the direct form has bit 7 set.
constexpr std::uint8_t kAttrFlags = 0x01, kAttrFlagsDirect = 0x81;
constexpr std::uint8_t kAttrText = 0x04, kAttrTextDirect = 0x84;

}  // namespace

TOE5_DbxParser::TOE5_DbxParser() : impl_(std::make_unique<TDbxImpl>()) {}

TOE5_DbxParser::~TOE5_DbxParser() = default;

void TOE5_DbxParser::ReadMessages(const std::string& path, std::vector<std::string>& messages,
                                  const std::atomic<bool>& stopFlag) {
    messages.clear();
    TDbxStream stream(path);
    struct DetachOnExit {
        TDbxImpl& impl;
        ~DetachOnExit() { impl.Detach(); }
    } detach{*impl_};
    ReadMessages(stream, messages, stopFlag);
}

void TOE5_DbxParser::ReadMessages(TDbxStream& stream, std::vector<std::string>& messages,
                                  const std::atomic<bool>& stopFlag) {
    messages.clear();
    Walk(
        stream,
        [&](std::size_t position) {
            if (OnProgress)
                OnProgress(position, impl_->Count());
            return !stopFlag.load(std::memory_order_relaxed);
        },
        [&](const MessageInfo& info) {
            if (info.Wanted())
                messages.push_back(impl_->ReadText(info.TextOffset));
            return true;
        });
}

void TOE5_DbxParser::ForEachMessage(const std::string& path,
                                    const std::function<bool(std::string&)>& take,
                                    const std::atomic<bool>& stopFlag) {
    TDbxStream stream(path);
    struct DetachOnExit {
        TDbxImpl& impl;
        ~DetachOnExit() { impl.Detach(); }
    } detach{*impl_};
    ForEachMessage(stream, take, stopFlag);
}

void TOE5_DbxParser::ForEachMessage(TDbxStream& stream,
                                    const std::function<bool(std::string&)>& take,
                                    const std::atomic<bool>& stopFlag) {
    const auto notStopped = [&](std::size_t) { return !stopFlag.load(std::memory_order_relaxed); };
    Walk(stream, notStopped, [&](const MessageInfo& info) {
        if (info.Wanted())
            impl_->TextLength(info.TextOffset);
        return true;
    });
    Walk(
        stream,
        [&](std::size_t position) {
            if (OnProgress)
                OnProgress(position, impl_->Count());
            return notStopped(position);
        },
        [&](const MessageInfo& info) {
            if (!info.Wanted())
                return true;
            std::string text = impl_->ReadText(info.TextOffset);
            return take(text);
        });
}

std::size_t TOE5_DbxParser::ScanMessages(TDbxStream& stream,
                                         const std::function<bool(const MessageInfo&)>& visit) {
    return Walk(
        stream, [](std::size_t) { return true; }, visit);
}

std::size_t TOE5_DbxParser::Walk(TDbxStream& stream,
                                 const std::function<bool(std::size_t)>& proceed,
                                 const std::function<bool(const MessageInfo&)>& visit) {
    unsigned char header[kHeaderBytesRead];
    if (!stream.ReadExact(0, header, sizeof header))
        throw DbxException(DbxTexts::kShortHeader);
    const std::uint32_t count = le32(header + kMessageCountField);
    const std::uint32_t root = le32(header + kMessageRootField);
    if (count == 0 || root == 0)
        return 0;
    impl_->LoadIndex(stream, root, count);

    TDbxRecord record;
    std::size_t visited = 0;
    for (std::size_t slot = 0; slot < impl_->Count(); ++slot) {
        ThrowIfAborted();
        if (!proceed(slot))
            break;
        if (!record.Read(stream, impl_->Offset(slot)))
            break;
        MessageInfo info;
        info.RecordOffset = record.Offset();
        std::optional<std::uint32_t> text;
        if (!record.Number({kAttrFlags, kAttrFlagsDirect}, info.Flags) ||
            !record.Number({kAttrText, kAttrTextDirect}, text))
            break;
        info.TextOffset = text.value_or(0);
        ++visited;
        if (!visit(info))
            break;
    }
    return visited;
}
