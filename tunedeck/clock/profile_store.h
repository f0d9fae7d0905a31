// Clock pairs in the registry (HKEY_LOCAL_MACHINE):
//   SOFTWARE\ZYK\ZYK_OC\current\<model>   "engine", "memory": the pair set at each opening
//   SOFTWARE\ZYK\ZYK_OC\default\<model>   the card's pair when the model was first met
//   SOFTWARE\ZYK\ZYK_OC\customer\<name>   one subkey per named profile
// Values are REG_DWORD whole MHz. Keys are opened with create semantics and closed
// before each operation returns. Nothing is cached between operations.
#pragma once
#include <windows.h>

#include "stringarray.h"

#define ZYK_KEY_CURRENT "SOFTWARE\\ZYK\\ZYK_OC\\current\\"
#define ZYK_KEY_DEFAULT "SOFTWARE\\ZYK\\ZYK_OC\\default\\"
#define ZYK_KEY_CUSTOMER "SOFTWARE\\ZYK\\ZYK_OC\\customer"

// The one registry message.
#define REGISTRY_FAILURE_MESSAGE "Could not create the registry key."
#define REGISTRY_FAILURE_CAPTION "registry key create error"

enum {
    PROFILE_NAME_MAX = 50,     // what the name dialog accepts
    PROFILE_LIST_NAME_MAX = 79 // longest subkey name the list takes (80-character buffer)
};

struct ClockPair {
    int engine;
    int memory;
};

// What a registry operation tells its owner when a key cannot be opened or a value
// cannot be written: the owner shows the message and, when asked, requests a quit.
class RegistryFailureSink {
public:
    virtual ~RegistryFailureSink() = default;
    virtual void RegistryFailed(bool quit) = 0;
};

// Which of the two values of a pair could be read (a value counts only when it is
// exactly 4 bytes long).
struct PairRead {
    bool engine;
    bool memory;
    bool Complete() const { return engine && memory; }
};

// Outcome of saving a profile under a name.
enum class SaveResult {
    Saved,          // written (or overwritten)
    FixedLabel,     // the name is one of the two fixed list entries: ignored
    InvalidName     // empty, too long, or with a backslash: refused, nothing written
};

class ProfileStore {
public:
    // `model` is the card's model name from the skin file ("/" when not listed).
    ProfileStore(const char* model, RegistryFailureSink* sink);

    CString CurrentKey() const;   // ZYK_KEY_CURRENT + model
    CString DefaultKey() const;   // ZYK_KEY_DEFAULT + model
    static CString ProfileKey(const CString& name);  // ZYK_KEY_CUSTOMER "\" name

    // Start-up reading of one of the two per-model keys: both values when both can be
    // read; otherwise the card's pair, written into the key. `readCard` runs in every
    // case, after the key has been queried; it is the card's present pair.
    template <class ReadCard> ClockPair StartupCurrent(ReadCard readCard) {
        StartupRead read = BeginStartup(CurrentKey());
        return FinishStartup(&read, readCard());
    }
    // The default key the same way, with the card's pair already read.
    ClockPair StartupDefault(const ClockPair& card);

    // Customer profile names in enumeration order. Stops at the first subkey that
    // cannot be enumerated (the end, or a name longer than PROFILE_LIST_NAME_MAX).
    // Returns false, after telling the sink (with a quit), when the customer key
    // cannot be opened; `names` is then empty.
    bool ListProfiles(CStringArray* names);

    // The pair of the default key or of a named profile. Values that cannot be read
    // are left as they were in `pair`. A key that cannot be opened goes to the sink
    // (with a quit) and reads nothing.
    PairRead LoadDefault(ClockPair* pair);
    PairRead LoadProfile(const CString& name, ClockPair* pair);

    // Whether the name may be saved: refuses empty names, names longer than
    // PROFILE_NAME_MAX and names with a backslash (that would make nested keys, which
    // the list can neither show nor delete).
    static bool ValidProfileName(const CString& name);
    // Whether the name equals a fixed list entry, compared without regard to case.
    static bool IsFixedLabel(const CString& name);

    // Writes "engine" and "memory" of a profile. Each failure to open or write goes to
    // the sink with a quit, and the operation goes on.
    SaveResult SaveProfile(const CString& name, const ClockPair& pair);

    // Deletes the profile's subkey; a failure is not examined.
    void DeleteProfile(const CString& name);

    // Writes the current pair of the model; a failed write goes to the sink (no quit).
    void StoreCurrent(const ClockPair& pair);

private:
    // A per-model key opened and queried at start-up, before the card is read.
    struct StartupRead {
        HKEY key;
        ClockPair stored;
        bool complete;
    };
    StartupRead BeginStartup(const CString& path);
    ClockPair FinishStartup(StartupRead* read, const ClockPair& card);
    void WritePair(HKEY key, const ClockPair& pair, bool quitOnFailure);
    PairRead LoadFrom(const CString& key, ClockPair* pair);
    void Fail(bool quit) { if (sink_) sink_->RegistryFailed(quit); }

    CString model_;
    RegistryFailureSink* sink_;
};
