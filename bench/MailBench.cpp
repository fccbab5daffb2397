// Throughput of the message parser on generated messages: Parse and BodyText, as the mail
// converter runs them, over messages of growing size (the figures should stay flat:
// linear time). Goal: at least 100 MB/s of message text for plain and base64 bodies.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "mail/MParser.h"

namespace {

const char* const kHeaders =
    "From: Taro Yamada <taro@example.jp>\r\n"
    "Newsgroups: fj.comp.mail\r\n"
    "Subject: =?utf-8?B?44OG44K544OI?= benchmark\r\n"
    "Date: Tue, 12 Jun 2001 10:20:30 +0900\r\n"
    "Message-ID: <bench@example.jp>\r\n";

std::string Words(std::size_t bytes, unsigned seed) {
    static const char* const words[] = {"mail",    "message", "parser",  "the", "of",    "text",
                                        "archive", "news",    "brevilo", "a",   "quick", "line"};
    std::mt19937 rng(seed);
    std::string text;
    text.reserve(bytes + 128);
    std::size_t lineStart = 0;
    while (text.size() < bytes) {
        text += words[rng() % 12];
        if (text.size() - lineStart > 70) {
            text += "\r\n";
            lineStart = text.size();
        } else {
            text += ' ';
        }
    }
    return text;
}

std::string Base64Lines(const std::string& data) {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(data.size() * 4 / 3 + data.size() / 38 + 8);
    std::size_t column = 0;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, data.size() - i);
        std::uint32_t v = static_cast<unsigned char>(data[i]) << 16;
        if (n > 1)
            v |= static_cast<unsigned char>(data[i + 1]) << 8;
        if (n > 2)
            v |= static_cast<unsigned char>(data[i + 2]);
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += n > 1 ? alphabet[v >> 6 & 63] : '=';
        out += n > 2 ? alphabet[v & 63] : '=';
        if ((column += 4) == 76) {
            out += "\r\n";
            column = 0;
        }
    }
    return out + "\r\n";
}

std::string QuotedPrintable(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t column = 0;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            out += c;
            column = 0;
            continue;
        }
        if (column >= 72) {
            out += "=\r\n";
            column = 0;
        }
        if (c == 'e') {  // a frequent letter written as an escape
            out += "=65";
            column += 3;
        } else {
            out += c;
            ++column;
        }
    }
    return out;
}

std::string PlainMessage(std::size_t size) {
    return std::string(kHeaders) + "Content-Type: text/plain; charset=iso-2022-jp\r\n\r\n" +
           Words(size, 1);
}

std::string Base64Message(std::size_t size) {
    return std::string(kHeaders) +
           "Content-Type: text/plain; charset=us-ascii\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           Base64Lines(Words(size * 3 / 4, 2));
}

std::string QuotedPrintableMessage(std::size_t size) {
    return std::string(kHeaders) +
           "Content-Type: text/plain; charset=us-ascii\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
           QuotedPrintable(Words(size * 4 / 5, 3));
}

std::string Utf8Message(std::size_t size) {
    std::string body;
    body.reserve(size + 64);
    while (body.size() < size)
        body +=
            "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad"
            "\xe3\x82\xb9\xe3\x83\x88 and some ASCII text, 12345.\r\n";
    return std::string(kHeaders) + "Content-Type: text/plain; charset=utf-8\r\n\r\n" + body;
}

std::string HtmlMultipartMessage(std::size_t size) {
    std::string html = "<html><head><title>T</title></head><body>\r\n";
    std::mt19937 rng(4);
    while (html.size() < size / 2) {
        html += "<p>" + Words(300, rng()) + " <a href=\"http://example.com/\">link</a></p>\r\n";
        if (rng() % 8 == 0)
            html += "<ul><li>one</li><li>two</li></ul>\r\n";
    }
    html += "</body></html>\r\n";
    return std::string(kHeaders) +
           "Content-Type: multipart/mixed; boundary=\"mixed\"\r\n\r\n"
           "--mixed\r\nContent-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n"
           "--alt\r\nContent-Type: text/plain\r\n\r\n" +
           Words(size / 2, 5) + "\r\n--alt\r\nContent-Type: text/html; charset=us-ascii\r\n\r\n" +
           html + "--alt--\r\n" +
           "--mixed\r\nContent-Type: application/pdf\r\n"
           "Content-Disposition: attachment; filename=\"a.pdf\"\r\n\r\nJVBERi0=\r\n--mixed--\r\n";
}

template <std::string (*Make)(std::size_t)>
void BM_Parse(benchmark::State& state) {
    const std::string message = Make(static_cast<std::size_t>(state.range(0)));
    MailParser::MParser parser;
    for (auto _ : state) {
        parser.Parse(message, false);
        benchmark::DoNotOptimize(parser.BodyText());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message.size()));
}

// Baseline: one fresh copy of the message. Large blocks come from the system freshly
// mapped every time, so on machines where page faults are dear this bounds every figure
// above a few MB, whatever the parser does.
void BM_FreshCopyBaseline(benchmark::State& state) {
    const std::string message = PlainMessage(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string copy(message);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message.size()));
}

constexpr int64_t kMB = 1 << 20;

BENCHMARK(BM_FreshCopyBaseline)->Arg(kMB)->Arg(16 * kMB)->Arg(64 * kMB);

BENCHMARK_TEMPLATE(BM_Parse, PlainMessage)->Arg(kMB)->Arg(4 * kMB)->Arg(16 * kMB)->Arg(64 * kMB);
BENCHMARK_TEMPLATE(BM_Parse, Base64Message)->Arg(kMB)->Arg(4 * kMB)->Arg(16 * kMB)->Arg(64 * kMB);
BENCHMARK_TEMPLATE(BM_Parse, QuotedPrintableMessage)->Arg(kMB)->Arg(16 * kMB)->Arg(64 * kMB);
BENCHMARK_TEMPLATE(BM_Parse, Utf8Message)->Arg(kMB)->Arg(8 * kMB);
BENCHMARK_TEMPLATE(BM_Parse, HtmlMultipartMessage)->Arg(kMB)->Arg(8 * kMB);

}  // namespace

BENCHMARK_MAIN();
