// Clock pairs in the registry: the start-up reading, the profile list and the
// operations on named profiles and on the current pair.
#include "profile_store.h"

#include "language.h"

namespace {

// Opens (creating when missing) a key under HKEY_LOCAL_MACHINE; null on failure.
HKEY OpenKey(const CString& path) {
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

bool SameTextIgnoringCase(const CString& a, const char* b) {
    // The system's comparison knows the double-byte characters of the Chinese texts.
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b, -1) ==
           CSTR_EQUAL;
}

}  // namespace

ProfileStore::ProfileStore(const char* model, RegistryFailureSink* sink)
    : model_(model ? model : "/"), sink_(sink) {}

CString ProfileStore::CurrentKey() const { return ZYK_KEY_CURRENT + model_; }
CString ProfileStore::DefaultKey() const { return ZYK_KEY_DEFAULT + model_; }
CString ProfileStore::ProfileKey(const CString& name) {
    return CString(ZYK_KEY_CUSTOMER "\\") + name;
}

ProfileStore::StartupRead ProfileStore::BeginStartup(const CString& path) {
    // A key that cannot be opened shows up as values that cannot be read.
    StartupRead read = {OpenKey(path), {0, 0}, false};
    bool engine = QueryDword(read.key, "engine", &read.stored.engine);
    bool memory = QueryDword(read.key, "memory", &read.stored.memory);
    read.complete = engine && memory;
    return read;
}

ClockPair ProfileStore::FinishStartup(StartupRead* read, const ClockPair& card) {
    ClockPair result = read->stored;
    if (!read->complete) {
        // Incomplete: the card's present pair becomes the stored one.
        WritePair(read->key, card, false);
        result = card;
    }
    if (read->key) RegCloseKey(read->key);
    return result;
}

ClockPair ProfileStore::StartupDefault(const ClockPair& card) {
    StartupRead read = BeginStartup(DefaultKey());
    return FinishStartup(&read, card);
}

void ProfileStore::WritePair(HKEY key, const ClockPair& pair, bool quitOnFailure) {
    if (!SetDword(key, "engine", pair.engine)) Fail(quitOnFailure);
    if (!SetDword(key, "memory", pair.memory)) Fail(quitOnFailure);
}

bool ProfileStore::ListProfiles(CStringArray* names) {
    names->RemoveAll();
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
        names->Add(name);
    }
    RegCloseKey(key);
    return true;
}

PairRead ProfileStore::LoadFrom(const CString& path, ClockPair* pair) {
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

PairRead ProfileStore::LoadProfile(const CString& name, ClockPair* pair) {
    return LoadFrom(ProfileKey(name), pair);
}

bool ProfileStore::ValidProfileName(const CString& name) {
    return !name.IsEmpty() && name.GetLength() <= PROFILE_NAME_MAX && name.Find('\\') < 0;
}

bool ProfileStore::IsFixedLabel(const CString& name) {
    return SameTextIgnoringCase(name, str_CurrentSettings) ||
           SameTextIgnoringCase(name, str_Default);
}

SaveResult ProfileStore::SaveProfile(const CString& name, const ClockPair& pair) {
    if (IsFixedLabel(name)) return SaveResult::FixedLabel;
    if (!ValidProfileName(name)) return SaveResult::InvalidName;
    HKEY key = OpenKey(ProfileKey(name));
    if (!key) Fail(true);
    WritePair(key, pair, true);
    if (key) RegCloseKey(key);
    return SaveResult::Saved;
}

void ProfileStore::DeleteProfile(const CString& name) {
    // An empty name would delete the customer key itself.
    if (name.IsEmpty()) return;
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
