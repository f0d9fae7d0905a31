// The registry layout of the clock pairs, checked in the test prefix's real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "cpu_clock.h"
#include "language.h"
#include "profile_store.h"
#include "registry_helpers.h"

namespace {

// The listed names as standard strings, for comparing whole lists.
std::vector<std::string> Strings(const CStringArray& names)
{
    std::vector<std::string> strings;
    for (int i = 0; i < names.GetSize(); ++i) strings.push_back(names[i].c_str());
    return strings;
}

struct RecordingSink : RegistryFailureSink {
    std::vector<bool> calls;  // one entry per message, true when a quit was asked
    void RegistryFailed(bool quit) override { calls.push_back(quit); }
};

// Language readers have the system's calling convention, which lambdas lack on 32 bits.
LANGID WINAPI English() { return 0x0409; }
LANGID WINAPI Chinese() { return 0x0404; }

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetGlobalStringWith(English);
        regtest::DeleteZykTree();
    }
    void TearDown() override { regtest::DeleteZykTree(); }

    RecordingSink sink;
};

TEST_F(ProfileStoreTest, KeyNamesFollowTheModel) {
    ProfileStore store("R9600", &sink);
    EXPECT_EQ("SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", store.CurrentKey());
    EXPECT_EQ("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", store.DefaultKey());
    EXPECT_EQ("SOFTWARE\\ZYK\\ZYK_OC\\customer\\fast", ProfileStore::ProfileKey("fast"));
}

TEST_F(ProfileStoreTest, FirstStartStoresTheCardsPairInBothKeys) {
    ProfileStore store("R9600", &sink);
    int cardReads = 0;
    ClockPair current = store.StartupCurrent([&] {
        ++cardReads;
        return ClockPair{183, 200};
    });
    ClockPair deflt = store.StartupDefault(ClockPair{183, 200});
    EXPECT_EQ(1, cardReads);
    EXPECT_EQ(183, current.engine);
    EXPECT_EQ(200, current.memory);
    EXPECT_EQ(183, deflt.engine);
    EXPECT_EQ(200, deflt.memory);
    for (const char* key : {"SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", "SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600"}) {
        EXPECT_EQ(regtest::Dword(183), regtest::Read(key, "engine")) << key;
        EXPECT_EQ(regtest::Dword(200), regtest::Read(key, "memory")) << key;
    }
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(ProfileStoreTest, StoredPairsWinOverTheCardAndAreNotRewritten) {
    regtest::WriteDword("SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", "engine", 250);
    regtest::WriteDword("SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", "memory", 260);
    regtest::WriteDword("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", "engine", 183);
    regtest::WriteDword("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", "memory", 200);
    ProfileStore store("R9600", &sink);
    int cardReads = 0;
    ClockPair current = store.StartupCurrent([&] {
        ++cardReads;
        return ClockPair{300, 310};
    });
    ClockPair deflt = store.StartupDefault(ClockPair{300, 310});
    EXPECT_EQ(1, cardReads) << "the card is read even when the registry is complete";
    EXPECT_EQ(250, current.engine);
    EXPECT_EQ(260, current.memory);
    EXPECT_EQ(183, deflt.engine);
    EXPECT_EQ(200, deflt.memory);
    EXPECT_EQ(regtest::Dword(250), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", "engine"));
    EXPECT_EQ(regtest::Dword(183), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", "engine"));
}

TEST_F(ProfileStoreTest, AnIncompleteOrMalformedPairIsRewrittenFromTheCard) {
    const char* key = "SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600";
    struct Case {
        const char* what;
        void (*prepare)(const char* key);
    } cases[] = {
        {"only engine", [](const char* k) { regtest::WriteDword(k, "engine", 250); }},
        {"only memory", [](const char* k) { regtest::WriteDword(k, "memory", 250); }},
        {"memory of 2 bytes",
         [](const char* k) {
             regtest::WriteDword(k, "engine", 250);
             regtest::WriteRaw(k, "memory", REG_BINARY, std::string("\x10\x01", 2));
         }},
        {"engine of 8 bytes",
         [](const char* k) {
             regtest::WriteRaw(k, "engine", REG_QWORD, std::string("\xFA\0\0\0\0\0\0\0", 8));
             regtest::WriteDword(k, "memory", 250);
         }},
    };
    for (const Case& c : cases) {
        regtest::DeleteZykTree();
        c.prepare(key);
        ProfileStore store("R9600", &sink);
        ClockPair current = store.StartupCurrent([] { return ClockPair{183, 200}; });
        EXPECT_EQ(183, current.engine) << c.what;
        EXPECT_EQ(200, current.memory) << c.what;
        EXPECT_EQ(regtest::Dword(183), regtest::Read(key, "engine")) << c.what;
        EXPECT_EQ(regtest::Dword(200), regtest::Read(key, "memory")) << c.what;
        EXPECT_EQ(REG_DWORD, regtest::Type(key, "memory")) << c.what;
    }
}

TEST_F(ProfileStoreTest, FourBytesOfAnyTypeCount) {
    const char* key = "SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600";
    regtest::WriteRaw(key, "engine", REG_BINARY, regtest::Dword(222));
    regtest::WriteDword(key, "memory", 233);
    ProfileStore store("R9600", &sink);
    ClockPair current = store.StartupCurrent([] { return ClockPair{183, 200}; });
    EXPECT_EQ(222, current.engine);
    EXPECT_EQ(233, current.memory);
}

TEST_F(ProfileStoreTest, AnUnlistedCardUsesASlashKey) {
    ProfileStore store("/", &sink);
    store.StartupDefault(store.StartupCurrent([] { return ClockPair{300, 300}; }));
    EXPECT_EQ(std::vector<std::string>{"/"}, regtest::Subkeys("SOFTWARE\\ZYK\\ZYK_OC\\current"));
    EXPECT_EQ(std::vector<std::string>{"/"}, regtest::Subkeys("SOFTWARE\\ZYK\\ZYK_OC\\default"));
    EXPECT_EQ(regtest::Dword(300), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\current\\/", "memory"));
}

TEST_F(ProfileStoreTest, TheListStopsAtANameOfEightyCharacters) {
    std::string name79 = "m" + std::string(78, 'x');
    std::string name80 = "n" + std::string(79, 'x');
    std::string name60 = "c" + std::string(59, 'y');
    for (const std::string& n : {std::string("alpha"), name60, name79, name80, std::string("zulu")})
        regtest::WriteDword(ProfileStore::ProfileKey(n.c_str()).c_str(), "engine", 1);
    ProfileStore store("R9600", &sink);
    CStringArray names;
    ASSERT_TRUE(store.ListProfiles(&names));
    // Subkeys come sorted; "zulu" lies behind the 80-character name and is not listed.
    EXPECT_EQ((std::vector<std::string>{"alpha", name60, name79}), Strings(names));
}

TEST_F(ProfileStoreTest, ProfilesOfFiftyOneToSeventyNineCharactersWorkThroughout) {
    std::string name = std::string(79, 'L');
    regtest::WriteDword(ProfileStore::ProfileKey(name.c_str()).c_str(), "engine", 190);
    regtest::WriteDword(ProfileStore::ProfileKey(name.c_str()).c_str(), "memory", 210);
    ProfileStore store("R9600", &sink);
    ClockPair pair = {0, 0};
    EXPECT_TRUE(store.LoadProfile(name.c_str(), &pair).Complete());
    EXPECT_EQ(190, pair.engine);
    EXPECT_EQ(210, pair.memory);
    store.DeleteProfile(name.c_str());
    EXPECT_TRUE(regtest::Subkeys(ZYK_KEY_CUSTOMER).empty());
}

TEST_F(ProfileStoreTest, SavingWritesBothValuesAndOverwrites) {
    ProfileStore store("R9600", &sink);
    EXPECT_EQ(SaveResult::Saved, store.SaveProfile("fast", ClockPair{200, 220}));
    EXPECT_EQ(regtest::Dword(200), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\customer\\fast", "engine"));
    EXPECT_EQ(REG_DWORD, regtest::Type("SOFTWARE\\ZYK\\ZYK_OC\\customer\\fast", "engine"));
    EXPECT_EQ(SaveResult::Saved, store.SaveProfile("FAST", ClockPair{201, 221}));
    // Key names ignore case: the same profile was overwritten.
    EXPECT_EQ(std::vector<std::string>{"fast"}, regtest::Subkeys(ZYK_KEY_CUSTOMER));
    EXPECT_EQ(regtest::Dword(221), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\customer\\fast", "memory"));
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(ProfileStoreTest, FixedLabelsAndUnusableNamesAreNotSaved) {
    ProfileStore store("R9600", &sink);
    EXPECT_EQ(SaveResult::FixedLabel, store.SaveProfile("default", ClockPair{1, 2}));
    EXPECT_EQ(SaveResult::FixedLabel, store.SaveProfile("(CURRENT SETTINGS)", ClockPair{1, 2}));
    EXPECT_EQ(SaveResult::InvalidName, store.SaveProfile("", ClockPair{1, 2}));
    EXPECT_EQ(SaveResult::InvalidName, store.SaveProfile("a\\b", ClockPair{1, 2}));
    EXPECT_EQ(SaveResult::InvalidName, store.SaveProfile(CString('a', 51), ClockPair{1, 2}));
    EXPECT_EQ(SaveResult::Saved, store.SaveProfile(CString('a', 50), ClockPair{1, 2}));
    EXPECT_EQ(SaveResult::Saved, store.SaveProfile("Default settings", ClockPair{1, 2}));
    EXPECT_EQ((std::vector<std::string>{std::string(50, 'a'), "Default settings"}),
              regtest::Subkeys(ZYK_KEY_CUSTOMER));
    // Nothing landed on the customer key itself (what an empty name would do).
    EXPECT_EQ("", regtest::Read(ZYK_KEY_CUSTOMER, "engine"));
}

TEST_F(ProfileStoreTest, TheChineseLabelsAreTheFixedOnesOnAChineseSystem) {
    SetGlobalStringWith(Chinese);
    ProfileStore store("R9600", &sink);
    EXPECT_TRUE(ProfileStore::IsFixedLabel(str_Default));
    EXPECT_TRUE(ProfileStore::IsFixedLabel(str_CurrentSettings));
    EXPECT_FALSE(ProfileStore::IsFixedLabel("Default"));
}

TEST_F(ProfileStoreTest, LoadingKeepsWhatCannotBeRead) {
    regtest::WriteDword(ProfileStore::ProfileKey("half").c_str(), "engine", 190);
    regtest::WriteRaw(ProfileStore::ProfileKey("half").c_str(), "memory", REG_SZ, std::string("3000", 5));
    ProfileStore store("R9600", &sink);
    ClockPair pair = {150, 160};
    PairRead read = store.LoadProfile("half", &pair);
    EXPECT_TRUE(read.engine);
    EXPECT_FALSE(read.memory);
    EXPECT_EQ(190, pair.engine);
    EXPECT_EQ(160, pair.memory);
}

TEST_F(ProfileStoreTest, LoadingTheDefaultReadsTheModelsDefaultKey) {
    regtest::WriteDword("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", "engine", 183);
    regtest::WriteDword("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", "memory", 200);
    ProfileStore store("R9600", &sink);
    ClockPair pair = {0, 0};
    EXPECT_TRUE(store.LoadDefault(&pair).Complete());
    EXPECT_EQ(183, pair.engine);
    EXPECT_EQ(200, pair.memory);
}

TEST_F(ProfileStoreTest, DeletingRemovesOnlyThatProfile) {
    ProfileStore store("R9600", &sink);
    store.SaveProfile("one", ClockPair{1, 1});
    store.SaveProfile("two", ClockPair{2, 2});
    store.DeleteProfile("one");
    EXPECT_EQ(std::vector<std::string>{"two"}, regtest::Subkeys(ZYK_KEY_CUSTOMER));
    store.DeleteProfile("");
    EXPECT_EQ(std::vector<std::string>{"two"}, regtest::Subkeys(ZYK_KEY_CUSTOMER));
}

TEST_F(ProfileStoreTest, StoringTheCurrentPairWritesTheModelsCurrentKey) {
    ProfileStore store("R9600", &sink);
    store.StoreCurrent(ClockPair{299, 301});
    EXPECT_EQ(regtest::Dword(299), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", "engine"));
    EXPECT_EQ(regtest::Dword(301), regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600", "memory"));
    EXPECT_EQ("", regtest::Read("SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600", "engine"));
}

// A volatile parent refuses lasting subkeys: the way to make every create fail.
TEST_F(ProfileStoreTest, KeysThatCannotBeMadeGoToTheSinkWithTheRightQuitRequest) {
    ASSERT_TRUE(regtest::CreateVolatile("SOFTWARE\\ZYK\\ZYK_OC"));
    ProfileStore store("R9600", &sink);

    CStringArray names;
    names.Add("stale");
    EXPECT_FALSE(store.ListProfiles(&names));
    EXPECT_TRUE(names.IsEmpty());
    EXPECT_EQ(std::vector<bool>{true}, sink.calls);

    sink.calls.clear();
    ClockPair pair = {5, 6};
    EXPECT_FALSE(store.LoadProfile("p", &pair).engine);
    EXPECT_FALSE(store.LoadDefault(&pair).memory);
    EXPECT_EQ((std::vector<bool>{true, true}), sink.calls);
    EXPECT_EQ(5, pair.engine);

    // Save: the key, then each of the two values.
    sink.calls.clear();
    EXPECT_EQ(SaveResult::Saved, store.SaveProfile("p", ClockPair{1, 2}));
    EXPECT_EQ((std::vector<bool>{true, true, true}), sink.calls);

    // Start-up reading and storing the current pair: one message per value, no quit.
    sink.calls.clear();
    ClockPair current = store.StartupCurrent([] { return ClockPair{183, 200}; });
    EXPECT_EQ(183, current.engine);
    store.StoreCurrent(ClockPair{1, 2});
    EXPECT_EQ((std::vector<bool>{false, false, false, false}), sink.calls);

    sink.calls.clear();
    store.DeleteProfile("p");
    EXPECT_TRUE(sink.calls.empty());
}

}  // namespace

namespace {

// Values of every type and of sizes around 4 bytes, under each key the program reads:
// exactly 4 bytes count whatever the type; anything else counts as missing, so the
// start-up reading rewrites the pair from the card and loading keeps what it had.
TEST_F(ProfileStoreTest, ValuesOfAnyTypeAndSizeUnderEveryKeyRead) {
    struct Value {
        const char* what;
        DWORD type;
        std::string bytes;
        bool counts;
    } values[] = {
        {"string of 4 bytes", REG_SZ, std::string("300", 4), true},
        {"big-endian dword", REG_DWORD_BIG_ENDIAN, regtest::Dword(444), true},
        {"empty", REG_NONE, std::string(), false},
        {"one byte", REG_BINARY, std::string("\x07", 1), false},
        {"long string", REG_SZ, std::string("1234567890", 11), false},
        {"multi-string", REG_MULTI_SZ, std::string("a\0b\0\0", 5), false},
        {"qword", REG_QWORD, std::string(8, '\x01'), false},
        {"64 KB", REG_BINARY, std::string(65536, '\x02'), false},
    };
    const char* current = "SOFTWARE\\ZYK\\ZYK_OC\\current\\R9600";
    const char* deflt = "SOFTWARE\\ZYK\\ZYK_OC\\default\\R9600";
    const std::string profile = ProfileStore::ProfileKey("odd").c_str();
    for (const Value& v : values) {
        SCOPED_TRACE(v.what);
        int expected = 0;
        memcpy(&expected, v.bytes.data(), v.bytes.size() >= 4 ? 4 : 0);
        for (const char* key : {current, deflt, profile.c_str()}) {
            regtest::DeleteZykTree();
            regtest::WriteDword(key, "engine", 250);
            regtest::WriteRaw(key, "memory", v.type, v.bytes);
            ProfileStore store("R9600", &sink);
            if (key == profile.c_str()) {
                ClockPair pair = {1, 2};
                PairRead read = store.LoadProfile("odd", &pair);
                EXPECT_EQ(v.counts, read.memory);
                EXPECT_EQ(v.counts ? expected : 2, pair.memory);
                EXPECT_EQ(250, pair.engine);
                continue;
            }
            ClockPair pair = key == current ? store.StartupCurrent([] { return ClockPair{183, 200}; })
                                            : store.StartupDefault(ClockPair{183, 200});
            EXPECT_EQ(v.counts ? 250 : 183, pair.engine) << key;
            EXPECT_EQ(v.counts ? expected : 200, pair.memory) << key;
            if (!v.counts) {
                EXPECT_EQ(REG_DWORD, regtest::Type(key, "memory")) << "rewritten";
            }
            if (key == deflt) {
                ClockPair loaded = {1, 2};
                EXPECT_EQ(true, store.LoadDefault(&loaded).memory);
            }
        }
    }
    EXPECT_TRUE(sink.calls.empty());
}

// Ten thousand profiles: all listed in order, and saving and deleting among them
// keeps every other one.
TEST_F(ProfileStoreTest, TenThousandProfiles) {
    HKEY customer;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, ZYK_KEY_CUSTOMER, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &customer, nullptr));
    char name[16];
    for (int i = 0; i < 10000; ++i) {
        snprintf(name, sizeof name, "p%05d", i);
        HKEY k;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(customer, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr));
        DWORD v = (DWORD)i;
        RegSetValueExA(k, "engine", 0, REG_DWORD, (const BYTE*)&v, 4);
        RegSetValueExA(k, "memory", 0, REG_DWORD, (const BYTE*)&v, 4);
        RegCloseKey(k);
    }
    RegCloseKey(customer);

    ProfileStore store("R9600", &sink);
    const double t0 = ThreadCpuSeconds();  // not lengthened by a busy machine
    CStringArray names;
    ASSERT_TRUE(store.ListProfiles(&names));
    EXPECT_LT(ThreadCpuSeconds() - t0, 10.0);
    ASSERT_EQ(10000, names.GetSize());
    EXPECT_STREQ("p00000", names[0]);
    EXPECT_STREQ("p09999", names[names.GetSize() - 1]);

    EXPECT_EQ(SaveResult::Saved, store.SaveProfile("p05000", ClockPair{7, 8}));
    store.DeleteProfile("p04999");
    ASSERT_TRUE(store.ListProfiles(&names));
    EXPECT_EQ(9999, names.GetSize());
    ClockPair pair = {0, 0};
    EXPECT_TRUE(store.LoadProfile("p05000", &pair).Complete());
    EXPECT_EQ(7, pair.engine);
    EXPECT_TRUE(store.LoadProfile("p09999", &pair).Complete());
    EXPECT_EQ(9999, pair.memory);
    EXPECT_TRUE(sink.calls.empty());
}

}  // namespace
