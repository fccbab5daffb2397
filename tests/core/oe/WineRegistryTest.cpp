// The read-only Wine registry (user.reg) and the Outlook Express identity lookup over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "oe/TOEIdentities.h"
#include "oe/TWineRegistry.h"

namespace {

// As Wine writes it: escaped backslashes in section names, a time stamp after each,
// comments, strings, REG_EXPAND_SZ as str(2) or as UTF-16LE hex(2) over two lines.
const char* const kUserReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win32

[Software\\Microsoft\\Outlook Express] 1700000000
#time=1da0000000000000
"Store Root"="C:\\Outlook Store\\"
"Quote"="say \"hi\"\tnow"
"Japanese"="\x53d7\x4fe1"
"Count"=dword:0000002a
@="default"

[Software\\Microsoft\\Outlook Express\\5.0\\Mail] 1700000000
"Expand"=str(2):"%UserProfile%\\x"
"Hex"=hex(2):25,00,55,00,73,00,65,00,72,00,50,00,72,00,6f,00,66,00,69,00,6c,00,\
  65,00,25,00,00,00
"Binary"=hex:01,02,03

[Software\\Wine\\Fonts] 1700000000
"x"="y"
)";

}  // namespace

TEST(WineRegistry, ReadsStringsWithTheirEscapes) {
    auto reg = TWineRegistry::FromText(kUserReg);
    const char* oe = "\\Software\\Microsoft\\Outlook Express";
    EXPECT_EQ(reg.ReadString(oe, "Store Root"), "C:\\Outlook Store\\");
    EXPECT_EQ(reg.ReadString(oe, "Quote"), "say \"hi\"\tnow");
    EXPECT_EQ(reg.ReadString(oe, "Japanese"), "\xe5\x8f\x97\xe4\xbf\xa1");  // 受信 in UTF-8
    EXPECT_EQ(reg.ReadString(oe, ""), "default");
    EXPECT_EQ(reg.ReadString(oe, "Count"), std::nullopt);  // a number is no string
    EXPECT_EQ(reg.ReadString(oe, "Missing"), std::nullopt);
    const char* mail = "Software\\Microsoft\\Outlook Express\\5.0\\Mail";
    EXPECT_EQ(reg.ReadString(mail, "Expand"), "%UserProfile%\\x");  // not expanded
    EXPECT_EQ(reg.ReadString(mail, "Hex"), "%UserProfile%");
    EXPECT_EQ(reg.ReadString(mail, "Binary"), std::nullopt);
}

TEST(WineRegistry, NamesCompareWithoutRegardToCase) {
    auto reg = TWineRegistry::FromText(kUserReg);
    EXPECT_EQ(reg.ReadString("\\SOFTWARE\\microsoft\\OUTLOOK EXPRESS\\", "store root"),
              "C:\\Outlook Store\\");
    EXPECT_TRUE(reg.KeyExists("software\\wine\\fonts"));
}

TEST(WineRegistry, KeysWithOnlySubkeysExist) {
    auto reg = TWineRegistry::FromText(kUserReg);
    EXPECT_TRUE(reg.KeyExists("\\Software\\"));  // Wine writes no section for it
    EXPECT_TRUE(reg.KeyExists("Software\\Microsoft\\Outlook Express\\5.0"));
    EXPECT_FALSE(reg.KeyExists("Software\\Microsoft\\Outlook"));  // a prefix of a name is no key
    EXPECT_FALSE(reg.KeyExists("\\Identities\\"));
    EXPECT_EQ(reg.ReadString("Software\\Microsoft\\Outlook Express\\5.0", "x"), std::nullopt);
}

TEST(WineRegistry, SubKeysAreTheDirectChildrenInNameOrder) {
    auto reg = TWineRegistry::FromText(
        "[Identities\\\\{b}] 1\n\"a\"=\"1\"\n"
        "[Identities\\\\{A}\\\\Software\\\\Microsoft] 1\n\"a\"=\"1\"\n"
        "[identities\\\\{C} x] 1\n"
        "[Identities\\\\{a}] 1\n"
        "[IdentitiesX\\\\{z}] 1\n");
    // {A} is written "{a}" in its own section, which names it.
    EXPECT_EQ(reg.SubKeys("\\Identities\\"), (std::vector<std::string>{"{a}", "{b}", "{C} x"}));
    EXPECT_TRUE(reg.SubKeys("Nothing").empty());
    EXPECT_EQ(reg.SubKeys("Identities\\{A}"), std::vector<std::string>{"Software"});
}

TEST(WineRegistry, MalformedLinesAreSkipped) {
    auto reg = TWineRegistry::FromText(
        "\"orphan\"=\"before any key\"\n"
        "[Broken\\\\Key\n"
        "\"a\"=\"under no key\"\n"
        "[Good] 1\n"
        "\"unterminated\"=\"abc\n"
        "\"nothing\"\n"
        "\"badhex\"=hex(2):zz,00\n"
        "\"octal\"=\"\\101\\x42\\q\"\n"
        "\"ok\"=\"fine\"\r\n");
    EXPECT_FALSE(reg.KeyExists("Broken\\Key"));
    EXPECT_EQ(reg.ReadString("Good", "unterminated"), std::nullopt);
    EXPECT_EQ(reg.ReadString("Good", "badhex"), std::nullopt);
    EXPECT_EQ(reg.ReadString("Good", "octal"), "ABq");
    EXPECT_EQ(reg.ReadString("Good", "ok"), "fine");
}

TEST(WineRegistry, AbsentFileIsAnEmptyRegistry) {
    testsupport::TempDir prefix;
    auto reg = TWineRegistry::Load(prefix.file("user.reg"));
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_EQ(reg.Prefix(), prefix.str());
    testsupport::WriteFile(prefix.file("user.reg"), kUserReg);
    EXPECT_TRUE(TWineRegistry::Load(prefix.file("user.reg")).KeyExists("Software\\Wine"));
}

TEST(WineRegistry, DefaultPathFollowsWinePrefixThenHome) {
    const char* savedPrefix = std::getenv("WINEPREFIX");
    const char* savedHome = std::getenv("HOME");
    const std::string prefixCopy = savedPrefix ? savedPrefix : "",
                      homeCopy = savedHome ? savedHome : "";
    setenv("WINEPREFIX", "/opt/wine-oe", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(TWineRegistry::DefaultPath(), "/opt/wine-oe/user.reg");
    setenv("WINEPREFIX", "", 1);
    EXPECT_EQ(TWineRegistry::DefaultPath(), "/home/u/.wine/user.reg");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(TWineRegistry::DefaultPath(), "/home/u/.wine/user.reg");
    if (savedPrefix)
        setenv("WINEPREFIX", prefixCopy.c_str(), 1);
    if (savedHome)
        setenv("HOME", homeCopy.c_str(), 1);
}

TEST(WineRegistry, WindowsPathsBecomePathsInsideThePrefix) {
    testsupport::TempDir prefix;
    namespace fs = std::filesystem;
    fs::create_directories(prefix.path() / "drive_c" / "Documents and Settings" / "user");
    auto reg = TWineRegistry::FromText("", prefix.str());
    // Without the dosdevices link, C: is drive_c; names are matched ignoring case.
    EXPECT_EQ(reg.UnixPath("c:\\documents and settings\\USER\\Store"),
              prefix.str() + "/drive_c/Documents and Settings/user/Store");
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix.path() / "dosdevices" / "c:");
    EXPECT_EQ(reg.UnixPath("C:\\Documents and Settings\\user"),
              prefix.str() + "/dosdevices/c:/Documents and Settings/user");
    EXPECT_EQ(reg.UnixPath("D:\\x"), prefix.str() + "/dosdevices/d:/x");
    EXPECT_EQ(reg.UnixPath("/home/u/store"), "/home/u/store");
    EXPECT_EQ(reg.UnixPath("%UserProfile%\\x"), "%UserProfile%/x");
    EXPECT_EQ(reg.UnixPath("C:"), prefix.str() + "/dosdevices/c:");
}

namespace {

// Two identities (the second without an Outlook Express 5.0 key) and the plain key.
std::string IdentitiesReg(bool withDefault = true) {
    std::string text = "WINE REGISTRY Version 2\n\n[Identities] 1\n";
    if (withDefault)
        text += "\"Default User ID\"=\"{AAAA}\"\n";
    text += R"(
[Identities\\{AAAA}] 1
"Username"="Main Identity"
"User ID"="{AAAA}"

[Identities\\{AAAA}\\Software\\Microsoft\\Outlook Express\\5.0] 1
"Store Root"="/stores/main\\"

[Identities\\{BBBB}] 1
"Username"="No Mail"
"User ID"="{BBBB}"

[Identities\\{BBBB}\\Software\\Microsoft] 1
"x"="y"

[Software\\Microsoft\\Outlook Express] 1
"Store Root"="/stores/plain\\"
)";
    return text;
}

}  // namespace

TEST(OEIdentities, SavedStoreRootIsLeftAloneWhenIdentitiesExist) {
    auto reg = TWineRegistry::FromText(IdentitiesReg());
    std::string root = "/saved", user = "Saved User";
    EXPECT_EQ(TOEIdentities(reg).ResolveStore(root, user), 2);
    EXPECT_EQ(root, "/saved");
    EXPECT_EQ(user, "Saved User");
}

TEST(OEIdentities, DefaultIdentityGivesUserAndStoreRootWithoutTrailingBackslash) {
    auto reg = TWineRegistry::FromText(IdentitiesReg());
    std::string root, user = "old";
    EXPECT_EQ(TOEIdentities(reg).ResolveStore(root, user), 2);
    EXPECT_EQ(root, "/stores/main");
    EXPECT_EQ(user, "Main Identity");
}

TEST(OEIdentities, MissingDefaultIdentityKeysLeaveTheSettings) {
    // No "Default User ID": the id reads as empty, so the keys looked at are Identities
    // itself (no "Username": empty) and Identities\Software\... (missing: unchanged).
    auto reg = TWineRegistry::FromText(IdentitiesReg(false));
    std::string root, user = "old";
    EXPECT_EQ(TOEIdentities(reg).ResolveStore(root, user), 2);
    EXPECT_EQ(root, "");
    EXPECT_EQ(user, "");
    // A default id whose keys are missing changes nothing.
    auto other = TWineRegistry::FromText("[Identities] 1\n\"Default User ID\"=\"{GONE}\"\n");
    user = "old";
    EXPECT_EQ(TOEIdentities(other).ResolveStore(root, user), 0);
    EXPECT_EQ(user, "old");
    EXPECT_EQ(root, "");
}

TEST(OEIdentities, WithoutIdentitiesThePlainKeyWins) {
    auto reg = TWineRegistry::FromText(
        "[Software\\\\Microsoft\\\\Outlook Express] 1\n\"Store Root\"=\"/stores/plain\\\\\"\n");
    std::string root = "/saved", user = "Saved User";
    EXPECT_EQ(TOEIdentities(reg).ResolveStore(root, user), 0);
    EXPECT_EQ(root, "/stores/plain/");  // as it stands: the backslash stays (as "/")
    EXPECT_EQ(user, "");
    // The key without a "Store Root" value empties the setting.
    auto bare =
        TWineRegistry::FromText("[Software\\\\Microsoft\\\\Outlook Express] 1\n\"x\"=\"y\"\n");
    root = "/saved";
    TOEIdentities(bare).ResolveStore(root, user);
    EXPECT_EQ(root, "");
}

TEST(OEIdentities, WithNeitherKeyNothingChanges) {
    auto reg = TWineRegistry::FromText("[Software\\\\Wine] 1\n\"x\"=\"y\"\n");
    std::string root = "/saved", user = "Saved User";
    EXPECT_EQ(TOEIdentities(reg).ResolveStore(root, user), 0);
    EXPECT_EQ(root, "/saved");
    EXPECT_EQ(user, "Saved User");
    TWineRegistry empty;
    EXPECT_EQ(TOEIdentities(empty).ResolveStore(root, user), 0);
    EXPECT_TRUE(TOEIdentities(empty).Users().empty());
}

TEST(OEIdentities, StoreRootInADriveBecomesAPathInThePrefix) {
    testsupport::TempDir prefix;
    std::filesystem::create_directories(prefix.path() / "drive_c" / "OE");
    auto reg = TWineRegistry::FromText(
        "[Identities\\\\{A}] 1\n\"Username\"=\"\\x30e6\\x30fc\\x30b6\"\n\"User ID\"=\"{A}\"\n"
        "[Identities] 1\n\"Default User ID\"=\"{A}\"\n"
        "[Identities\\\\{A}\\\\Software\\\\Microsoft\\\\Outlook Express\\\\5.0] 1\n"
        "\"Store Root\"=\"C:\\\\oe\\\\\"\n",
        prefix.str());
    std::string root, user;
    EXPECT_EQ(TOEIdentities(reg).ResolveStore(root, user), 1);
    EXPECT_EQ(root, prefix.str() + "/drive_c/OE");
    EXPECT_EQ(user, "\x83\x86\x81\x5b\x83\x55");  // ユーザ in cp932
}

TEST(OEIdentities, UsersListLeavesOutIdentitiesWithoutOutlookExpressFive) {
    auto reg = TWineRegistry::FromText(IdentitiesReg());
    auto users = TOEIdentities(reg).Users();
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].Username, "Main Identity");
    EXPECT_EQ(users[0].StoreRoot, "/stores/main");
}

TEST(OEIdentities, UsersListUsesTheUserIdValueAndLaterSameNameWins) {
    auto reg = TWineRegistry::FromText(R"(
[Identities\\{1}] 1
"Username"="Taro"
"User ID"="{9}"
[Identities\\{2}] 1
"Username"="Hanako"
"User ID"="{2}"
[Identities\\{3}] 1
"Username"="Taro"
"User ID"="{3}"
[Identities\\{9}\\Software\\Microsoft\\Outlook Express\\5.0] 1
"Store Root"="/nine"
[Identities\\{2}\\Software\\Microsoft\\Outlook Express\\5.0] 1
"Store Root"="/two\\"
[Identities\\{3}\\Software\\Microsoft\\Outlook Express\\5.0] 1
"Store Root"="/three"
)");
    auto users = TOEIdentities(reg).Users();
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].Username, "Taro");
    EXPECT_EQ(users[0].StoreRoot, "/three");
    EXPECT_EQ(users[1].Username, "Hanako");
    EXPECT_EQ(users[1].StoreRoot, "/two");
}

TEST(OEIdentities, PreselectedUserIgnoresAsciiCaseOnly) {
    std::vector<TOEUser> users{{"Taro", "/t"}, {"\x83\x41", "/a"}, {"hanako", "/h"}};
    EXPECT_EQ(TOEIdentities::PreselectedUser(users, "HANAKO"), 2u);
    EXPECT_EQ(TOEIdentities::PreselectedUser(users, "\x83\x41"), 1u);  // ア
    // ア's trail byte 0x41 is "A" but belongs to the character: 0x83 0x61 is another one.
    EXPECT_EQ(TOEIdentities::PreselectedUser(users, "\x83\x61"), 0u);
    EXPECT_EQ(TOEIdentities::PreselectedUser(users, "nobody"), 0u);
    EXPECT_EQ(TOEIdentities::PreselectedUser({}, "x"), 0u);
}
