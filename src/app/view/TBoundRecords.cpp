#include "view/TBoundRecords.h"

#include "base/EError.h"
#include "store/TDMod.h"
#include "store/TSearchResult.h"

long long TBoundRecords::Insert() {
    throw EError("Cannot insert a record here");
}

namespace {

class TLogRecords final : public TBoundRecords {
  public:
    explicit TLogRecords(TDMod& dmod) : dmod_(dmod) {}
    long long Count() override { return Log().Rows().Count(); }
    const TArticle& Row(long long index) override { return Log().Rows().Row(index); }
    long long Current() override { return Log().Rows().Current(); }
    void SetCurrent(long long index) override { Log().Rows().SetCurrent(index); }
    bool Locate(long long messageId) override { return Log().Rows().Locate(messageId); }
    unsigned long long Revision() override { return Log().Rows().Revision(); }
    long long BookmarkID() override { return Log().BookmarkID(); }
    bool FilterActive() override { return Log().FilterActive(); }
    bool IsLog() const override { return true; }
    void Post(const TArticle& row) override { dmod_.UpdateLogRow(row); }
    bool CanInsert() const override { return true; }
    long long Insert() override { return dmod_.InsertLogRow(); }
    void Delete(long long messageId) override { dmod_.DeleteLogRow(messageId); }

  private:
    TLogView& Log() { return dmod_.Log(); }
    TDMod& dmod_;
};

class TSearchRecords final : public TBoundRecords {
  public:
    explicit TSearchRecords(TSearchResult& result) : result_(result) {}
    long long Count() override { return result_.Count(); }
    const TArticle& Row(long long index) override { return result_.Row(index); }
    long long Current() override { return result_.Current(); }
    void SetCurrent(long long index) override { result_.SetCurrent(index); }
    bool Locate(long long messageId) override { return result_.Locate(messageId); }
    unsigned long long Revision() override { return result_.Revision(); }
    long long BookmarkID() override { return result_.BookmarkID(); }
    void Post(const TArticle& row) override {
        if (const auto index = result_.IndexOf(row.MessageID))
            result_.EditRow(*index, row);
    }
    void Delete(long long messageId) override {
        if (const auto index = result_.IndexOf(messageId))
            result_.DeleteRow(*index);
    }

  private:
    TSearchResult& result_;
};

}  // namespace

std::unique_ptr<TBoundRecords> MakeLogRecords(TDMod& dmod) {
    return std::make_unique<TLogRecords>(dmod);
}

std::unique_ptr<TBoundRecords> MakeSearchRecords(TSearchResult& result) {
    return std::make_unique<TSearchRecords>(result);
}
