#include "import/TMboxReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "import/ENParseError.h"

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::vector<std::string> Split(const std::string& bytes) {
    TempDir dir;
    WriteFile(dir.file("box.mbox"), bytes);
    TMboxReader reader(dir.file("box.mbox"));
    std::vector<std::string> messages;
    std::string message;
    while (reader.Next(message))
        messages.push_back(message);
    EXPECT_EQ(reader.MessageNumber(), static_cast<int>(messages.size()));
    return messages;
}

struct SplitCase {
    const char* name;
    std::string mbox;
    std::vector<std::string> messages;
};

}  // namespace

TEST(TMboxReader, CutsMessagesAtEnvelopeLines) {
    const std::string date = " Mon Jan  1 00:00:00 2001\n";
    // A body that the line rules alone would cut in two.
    const std::string inBody = "line\n\nFrom b" + date + "Subject: in\n";
    const std::vector<SplitCase> cases = {
        {"empty-line-and-date",
         "From a" + date + "S: 1\n\nx\n\nFrom b" + date + "S: 2\n",
         {"S: 1\n\nx\n\n", "S: 2\n"}},
        {"crlf-and-byte-order-mark-and-leading-empty-lines",
         "\xef\xbb\xbf\r\n\r\nFrom a" + date.substr(0, date.size() - 1) +
             "\r\nSubject: 1\r\n\r\nFrom b Mon Jan  1 00:00:00 2001\r\nSubject: 2\r\n",
         {"Subject: 1\r\n\r\n", "Subject: 2\r\n"}},
        {"unquoted-body-line-without-date-or-header-stays",
         "From -\nSubject: 1\n\nmovie:\n\nFrom Russia with love\nYear: 1963\n\nend\n",
         {"Subject: 1\n\nmovie:\n\nFrom Russia with love\nYear: 1963\n\nend\n"}},
        {"no-empty-line-but-a-message-header-follows",
         "From -\nSubject: 1\n\n--b--\nFrom -\nMessage-ID: <x>\nFrom: c\n\nbody\n",
         {"Subject: 1\n\n--b--\n", "Message-ID: <x>\nFrom: c\n\nbody\n"}},
        {"date-but-no-empty-line-and-no-header-stays",
         "From a" + date + "S: 1\n\nquoted:\nFrom b" + date + "text\n",
         {"S: 1\n\nquoted:\nFrom b" + date + "text\n"}},
        {"mboxrd-quoting-loses-one-mark",
         "From a" + date + "S: 1\n\n>From x\n>>From y\n> From z\n>Fromage\n",
         {"S: 1\n\nFrom x\n>From y\n> From z\n>Fromage\n"}},
        {"content-length-keeps-a-from-line-in-the-body",
         "From a" + date + "Content-Length: " + std::to_string(inBody.size()) + "\n\n" + inBody +
             "\nFrom c" + date + "Subject: 2\n",
         {"Content-Length: " + std::to_string(inBody.size()) + "\n\n" + inBody + "\n",
          "Subject: 2\n"}},
        {"content-length-to-the-end-of-the-file",
         "From a" + date + "Content-Length: " + std::to_string(inBody.size()) + "\n\n" + inBody +
             "\n",
         {"Content-Length: " + std::to_string(inBody.size()) + "\n\n" + inBody + "\n"}},
        {"content-length-into-a-line-is-ignored",
         "From a" + date + "Content-Length: 3\n\nline\n\nFrom b" + date + "Subject: 2\n",
         {"Content-Length: 3\n\nline\n\n", "Subject: 2\n"}},
        {"content-length-past-the-end-is-ignored",
         "From a" + date + "Content-Length: 900\n\nx\n\nFrom b" + date + "Subject: 2\n",
         {"Content-Length: 900\n\nx\n\n", "Subject: 2\n"}},
        {"nothing-but-a-mark-and-empty-lines", "\xef\xbb\xbf\n\r\n\n", {}},
        {"envelope-alone-at-the-end", "From a" + date + "S: 1\n\nFrom b" + date, {"S: 1\n\n", ""}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(Split(c.mbox), c.messages) << c.name;
}

TEST(TMboxReader, AFileThatDoesNotStartWithAnEnvelopeIsRefused) {
    TempDir dir;
    WriteFile(dir.file("x.mbox"), "Subject: no envelope\n\nbody\n");
    TMboxReader reader(dir.file("x.mbox"));
    std::string message;
    EXPECT_THROW(reader.Next(message), ENParseError);
    EXPECT_FALSE(TMboxReader::StartsWithFromLine(dir.file("x.mbox")));
    WriteFile(dir.file("y"),
              "\xef\xbb\xbf"
              "From x\n");
    EXPECT_TRUE(TMboxReader::StartsWithFromLine(dir.file("y")));
}

// Messages of every size around the read chunk, so that envelope lines, header look-ahead
// and Content-Length targets fall on chunk boundaries.
TEST(TMboxReader, MessagesAcrossReadChunksComeBackWhole) {
    std::string mbox;
    std::vector<std::string> expected;
    for (int i = 0; i < 60; ++i) {
        std::string body(static_cast<std::size_t>((i * 37'813) % 300'000), 'a' + i % 26);
        for (std::size_t p = 70; p < body.size(); p += 71)
            body[p] = '\n';
        std::string message = "Subject: " + std::to_string(i) + "\n";
        if (i % 3 == 0)
            message += "Content-Length: " + std::to_string(body.size() + 1) + "\n";
        message += "\n" + body + "\n\n";
        mbox += (i % 2 ? "From -\n" : "From x Mon Jan  1 00:00:00 2001\n") + message;
        expected.push_back(message);
    }
    std::vector<std::string> messages = Split(mbox);
    ASSERT_EQ(messages.size(), expected.size());
    for (std::size_t i = 0; i < messages.size(); ++i)
        EXPECT_EQ(messages[i], expected[i]) << "message " << i + 1;
    TempDir dir;
    WriteFile(dir.file("big.mbox"), mbox);
    EXPECT_EQ(TMboxReader::CountMessages(dir.file("big.mbox")), 60);
}
