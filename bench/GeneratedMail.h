#pragma once

// Generated mail for the import benchmarks: message i of a run is a third plain text, a
// third base64, a third multipart with an HTML alternative, with 1 to 4 KB of body.

#include <random>
#include <string>

namespace benchmail {

inline std::string Base64(const std::string& in) {
    static const char* a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out, line;
    for (std::size_t i = 0; i < in.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size())
            v |= static_cast<unsigned char>(in[i + 1]) << 8;
        if (i + 2 < in.size())
            v |= static_cast<unsigned char>(in[i + 2]);
        line += a[v >> 18 & 63];
        line += a[v >> 12 & 63];
        line += i + 1 < in.size() ? a[v >> 6 & 63] : '=';
        line += i + 2 < in.size() ? a[v & 63] : '=';
        if (line.size() == 76) {
            out += line + "\r\n";
            line.clear();
        }
    }
    return out + line + "\r\n";
}

inline std::string Body(std::mt19937& rng) {
    static const char* words[] = {"archive", "news",   "mail",   "record", "keyword", "Tokyo",
                                  "report",  "weekly", "import", "table",  "search",  "text"};
    std::string body;
    std::size_t size = 1000 + rng() % 3000;
    while (body.size() < size) {
        body += words[rng() % 12];
        body += (rng() % 12 == 0) ? "\r\n" : " ";
    }
    return body + "\r\n";
}

inline std::string Message(int i, std::mt19937& rng) {
    std::string head = "From: user" + std::to_string(i % 97) + "@example.com\r\nSubject: Message " +
                       std::to_string(i) + "\r\nDate: Tue, 12 Jun 2001 10:20:30 +0900\r\n" +
                       "Newsgroups: fj.test\r\nMIME-Version: 1.0\r\n";
    std::string body = Body(rng);
    switch (i % 3) {
        case 0:
            return head + "Content-Type: text/plain; charset=us-ascii\r\n\r\n" + body;
        case 1:
            return head +
                   "Content-Type: text/plain; charset=us-ascii\r\nContent-Transfer-Encoding: "
                   "base64\r\n\r\n" +
                   Base64(body);
        default:
            return head + "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\n--b1\r\n" +
                   "Content-Type: text/plain\r\n\r\n" + body +
                   "--b1\r\nContent-Type: text/html\r\n\r\n" + "<html><body><p>" + body +
                   "</p><ul><li>one<li>two</ul></body></html>\r\n--b1--\r\n";
    }
}

}  // namespace benchmail
