// Generated records like imported mail for the store benchmarks: English words with
// Japanese (cp932) text, ~1 or ~4 KB articles; one article in `brevilo` mentions "Brevilo"
// (some letter case), so a search for it hits a known share of the rows.
#pragma once

#include <random>
#include <string>

#include "store/TDMod.h"

namespace bench {

class RecordMaker {
  public:
    explicit RecordMaker(std::size_t articleBytes = 4096, int breviloEvery = 100)
        : articleBytes_(articleBytes), breviloEvery_(breviloEvery) {}
    TRecordFields Next(long i) {
        static const char* words[] = {"the",
                                      "market",
                                      "news",
                                      "report",
                                      "tokyo",
                                      "osaka",
                                      "rain",
                                      "weather",
                                      "\x93\x8c\x8b\x9e",                  // 東京
                                      "\x93\x56\x8b\x43",                  // 天気
                                      "\x83\x6a\x83\x85\x81\x5b\x83\x58",  // ニュース
                                      "system",
                                      "price",
                                      "today"};
        TRecordFields r;
        r.From =
            "Writer " + std::to_string(i % 500) + " <w" + std::to_string(i % 500) + "@example.com>";
        r.Newsgroup = "fj.news.group" + std::to_string(i % 40);
        r.Subject = "Subject line number " + std::to_string(i);
        r.Date = std::to_string(1995 + (i * 7919) % 30) + "/" + std::to_string(1 + i % 12) + "/" +
                 std::to_string(1 + i % 28) + " 10:20:30";
        r.Notes = i % 7 == 0 ? "note" : "";
        std::string& a = r.Article;
        a.reserve(articleBytes_ + 16);
        while (a.size() < articleBytes_) {
            a += words[rng_() % (sizeof words / sizeof *words)];
            a += (rng_() % 12 == 0) ? "\r\n" : " ";
        }
        if (i % breviloEvery_ == breviloEvery_ / 2)
            a.insert(a.size() / 2, " BREVILO ");
        return r;
    }

  private:
    std::size_t articleBytes_;
    int breviloEvery_;
    std::mt19937 rng_{1234};
};

// Appends `count` generated records to the log, numbered from `first`, in one batch.
inline void FillLog(TDMod& dmod, long first, long count, std::size_t articleBytes = 4096,
                    int breviloEvery = 100) {
    RecordMaker maker(articleBytes, breviloEvery);
    TDMod::LogBatch batch(dmod);
    for (long i = first; i < first + count; ++i)
        dmod.AppendLogRecord(maker.Next(i));
    batch.Commit();
}

}  // namespace bench
