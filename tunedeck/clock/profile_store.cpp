// Clock pairs in the registry: the start-up reading, the profile list and the
// operations on named profiles and on the current pair.
#include "profile_store.h"

#include "language.h"

namespace {

// Opens (creating when missing) a key under HKEY_LOCAL_MACHINE; null on failure.
HKEY OpenKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Reads a 4-byte value whatever its type; anything of another length counts as missing
// (a shorter value would leave part of the number undefined).
bool QueryDword(HKEY key, const char* name, int* value) {
    if (!key) return false;
    DWORD data = 0, size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(data))
        return false;
    *value = static_cast<int>(data);
    return true;
}

bool SetDword(HKEY key, const char* name, int value) {
    if (!key) return false;
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool SameTextIgnoringCase(const std::string& a, const char* b) {
    // The system's comparison knows the double-byte characters of the Chinese texts.
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b, -1) ==
           CSTR_EQUAL;
}

}  // namespace

ProfileStore::ProfileStore(const char* model, RegistryFailureSink* sink)
    : model_(model ? model : "/"), sink_(sink) {}

std::string ProfileStore::CurrentKey() const { return ZYK_KEY_CURRENT + model_; }
std::string ProfileStore::DefaultKey() const { return ZYK_KEY_DEFAULT + model_; }
std::string ProfileStore::ProfileKey(const std::string& name) {
    return std::string(ZYK_KEY_CUSTOMER "\\") + name;
}

ClockPair ProfileStore::StartupReading(const std::string& path,
                                       const std::function<ClockPair()>& readCard) {
    HKEY key = OpenKey(path);  // a failure shows up as values that cannot be read
    ClockPair stored = {0, 0};
    bool engine = QueryDword(key, "engine", &stored.engine);
    bool memory = QueryDword(key, "memory", &stored.memory);
    ClockPair card = readCard();
    ClockPair result = stored;
    if (!(engine && memory)) {
        // Incomplete: the card's present pair becomes the stored one.
        WritePair(key, card, false);
        result = card;
    }
    if (key) RegCloseKey(key);
    return result;
}

ClockPair ProfileStore::StartupCurrent(const std::function<ClockPair()>& readCard) {
    return StartupReading(CurrentKey(), readCard);
}

ClockPair ProfileStore::StartupDefault(const ClockPair& card) {
    return StartupReading(DefaultKey(), [&card] { return card; });
}

void ProfileStore::WritePair(HKEY key, const ClockPair& pair, bool quitOnFailure) {
    if (!SetDword(key, "engine", pair.engine)) Fail(quitOnFailure);
    if (!SetDword(key, "memory", pair.memory)) Fail(quitOnFailure);
}

bool ProfileStore::ListProfiles(std::vector<std::string>* names) {
    names->clear();
    HKEY key = OpenKey(ZYK_KEY_CUSTOMER);
    if (!key) {
        Fail(true);
        return false;
    }
    char name[PROFILE_LIST_NAME_MAX + 1];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names->push_back(name);
    }
    RegCloseKey(key);
    return true;
}

PairRead ProfileStore::LoadFrom(const std::string& path, ClockPair* pair) {
    PairRead read = {false, false};
    HKEY key = OpenKey(path);
    if (!key) {
        Fail(true);
        return read;
    }
    read.engine = QueryDword(key, "engine", &pair->engine);
    read.memory = QueryDword(key, "memory", &pair->memory);
    RegCloseKey(key);
    return read;
}

PairRead ProfileStore::LoadDefault(ClockPair* pair) { return LoadFrom(DefaultKey(), pair); }

PairRead ProfileStore::LoadProfile(const std::string& name, ClockPair* pair) {
    return LoadFrom(ProfileKey(name), pair);
}

bool ProfileStore::ValidProfileName(const std::string& name) {
    return !name.empty() && name.size() <= PROFILE_NAME_MAX &&
           name.find('\\') == std::string::npos;
}

bool ProfileStore::IsFixedLabel(const std::string& name) {
    return SameTextIgnoringCase(name, str_CurrentSettings) ||
           SameTextIgnoringCase(name, str_Default);
}

SaveResult ProfileStore::SaveProfile(const std::string& name, const ClockPair& pair) {
    if (IsFixedLabel(name)) return SaveResult::FixedLabel;
    if (!ValidProfileName(name)) return SaveResult::InvalidName;
    HKEY key = OpenKey(ProfileKey(name));
    if (!key) Fail(true);
    WritePair(key, pair, true);
    if (key) RegCloseKey(key);
    return SaveResult::Saved;
}

void ProfileStore::DeleteProfile(const std::string& name) {
    // An empty name would delete the customer key itself.
    if (name.empty()) return;
    HKEY key = OpenKey(ZYK_KEY_CUSTOMER);
    if (!key) return;
    RegDeleteKeyA(key, name.c_str());
    RegCloseKey(key);
}

void ProfileStore::StoreCurrent(const ClockPair& pair) {
    HKEY key = OpenKey(CurrentKey());
    WritePair(key, pair, false);
    if (key) RegCloseKey(key);
}
