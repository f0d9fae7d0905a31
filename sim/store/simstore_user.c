/* Scenario store on the Win32 registry. Always the 64-bit view, so that 32-bit and
 * 64-bit programs and the driver host all see one scenario. */
#include <windows.h>
#include <string.h>
#include "simstore_user.h"

static HKEY openKey(REGSAM access)
{
    HKEY key = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SIM_REG_KEY, 0, NULL, 0, access | KEY_WOW64_64KEY,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return 0;
    return key;
}

static int readBinary(HKEY key, const char *prefix, int slot, void *data, DWORD size)
{
    char name[16];
    DWORD type = 0, got = size;
    sim_value_name(prefix, slot, name);
    return RegQueryValueExA(key, name, NULL, &type, (BYTE *)data, &got) == ERROR_SUCCESS &&
           type == REG_BINARY && got == size;
}

static int writeBinary(HKEY key, const char *prefix, int slot, const void *data, DWORD size)
{
    char name[16];
    sim_value_name(prefix, slot, name);
    return RegSetValueExA(key, name, 0, REG_BINARY, (const BYTE *)data, size) == ERROR_SUCCESS;
}

int simstore_read_device(int slot, SimDeviceRecord *record)
{
    HKEY key = openKey(KEY_READ);
    int ok = key && readBinary(key, SIM_VALUE_DEVICE, slot, record, sizeof(*record));
    if (key)
        RegCloseKey(key);
    return ok;
}

int simstore_write_device(int slot, const SimDeviceRecord *record)
{
    HKEY key = openKey(KEY_WRITE);
    int ok = key && writeBinary(key, SIM_VALUE_DEVICE, slot, record, sizeof(*record));
    if (key)
        RegCloseKey(key);
    return ok;
}

void simstore_remove_device(int slot)
{
    char name[16];
    HKEY key = openKey(KEY_WRITE);
    if (!key)
        return;
    sim_value_name(SIM_VALUE_DEVICE, slot, name);
    RegDeleteValueA(key, name);
    sim_value_name(SIM_VALUE_REGISTERS, slot, name);
    RegDeleteValueA(key, name);
    sim_value_name(SIM_VALUE_STATE, slot, name);
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

int simstore_read_state(int slot, SimCardState *state)
{
    HKEY key = openKey(KEY_READ);
    int ok = key && readBinary(key, SIM_VALUE_STATE, slot, state, sizeof(*state));
    if (!ok)
        sim_state_fresh(state);
    if (key)
        RegCloseKey(key);
    return ok;
}

int simstore_write_state(int slot, const SimCardState *state)
{
    HKEY key = openKey(KEY_WRITE);
    int ok = key && writeBinary(key, SIM_VALUE_STATE, slot, state, sizeof(*state));
    if (key)
        RegCloseKey(key);
    return ok;
}

int simstore_read_registers(int slot, uint32_t registers[SIM_CARD_REGISTERS])
{
    HKEY key = openKey(KEY_READ);
    int ok = key && readBinary(key, SIM_VALUE_REGISTERS, slot, registers,
                               SIM_CARD_REGISTERS * sizeof(uint32_t));
    if (!ok)
        memset(registers, 0, SIM_CARD_REGISTERS * sizeof(uint32_t));
    if (key)
        RegCloseKey(key);
    return ok;
}

int simstore_write_registers(int slot, const uint32_t registers[SIM_CARD_REGISTERS])
{
    HKEY key = openKey(KEY_WRITE);
    int ok = key && writeBinary(key, SIM_VALUE_REGISTERS, slot, registers,
                                SIM_CARD_REGISTERS * sizeof(uint32_t));
    if (key)
        RegCloseKey(key);
    return ok;
}

void simstore_log_path(char *path, int size)
{
    HKEY key = openKey(KEY_READ);
    DWORD type = 0, got = (DWORD)size - 1;
    char *slash;
    path[0] = 0;
    if (!key || RegQueryValueExA(key, SIM_VALUE_LOGFILE, NULL, &type, (BYTE *)path, &got) !=
                    ERROR_SUCCESS || type != REG_SZ || got == 0) {
        lstrcpynA(path, SIM_DEFAULT_LOG, size);
    } else {
        path[got < (DWORD)size ? got : (DWORD)size - 1] = 0;
    }
    if (key)
        RegCloseKey(key);
    slash = strrchr(path, '\\');
    if (slash && slash > path + 2) {
        *slash = 0;
        CreateDirectoryA(path, NULL);
        *slash = '\\';
    }
}

static DWORD generation(HKEY key)
{
    DWORD value = 0, type = 0, size = sizeof(value);
    if (!key || RegQueryValueExA(key, SIM_VALUE_GENERATION, NULL, &type, (BYTE *)&value, &size) !=
                    ERROR_SUCCESS || type != REG_DWORD)
        return 0;
    return value;
}

void simstore_touch(void)
{
    HKEY key = openKey(KEY_READ | KEY_WRITE);
    DWORD next;
    if (!key)
        return;
    next = generation(key) + 1;
    RegSetValueExA(key, SIM_VALUE_GENERATION, 0, REG_DWORD, (const BYTE *)&next, sizeof(next));
    RegCloseKey(key);
}

static int loadFrom(HKEY key, SimModel *model)
{
    static SimDeviceRecord record;
    static uint32_t registers[SIM_CARD_REGISTERS];
    SimCardState state;
    int slot, count = 0;
    sim_model_clear(model);
    for (slot = 0; key && slot < SIM_MAX_DEVICES; slot++) {
        if (!readBinary(key, SIM_VALUE_DEVICE, slot, &record, sizeof(record)))
            continue;
        if (!readBinary(key, SIM_VALUE_REGISTERS, slot, registers, sizeof(registers)))
            memset(registers, 0, sizeof(registers));
        sim_model_put(model, slot, record.location, record.config,
                      (record.flags & SIM_DEVICE_IS_CARD) != 0, registers);
        if (readBinary(key, SIM_VALUE_STATE, slot, &state, sizeof(state)))
            sim_model_set_state(model, slot, &state);
        count++;
    }
    return count;
}

int simstore_load(SimModel *model)
{
    HKEY key = openKey(KEY_READ);
    int count = loadFrom(key, model);
    if (key)
        RegCloseKey(key);
    return count;
}

/* While the model runs, the key and the log stay open: one write per access. */
static HKEY runKey;
static HANDLE runLog = INVALID_HANDLE_VALUE;
static DWORD runGeneration;

int simstore_changed(void)
{
    return runKey && generation(runKey) != runGeneration;
}

static void logAccess(void *ctx, const SimAccess *access)
{
    char line[SIM_LOG_LINE];
    OVERLAPPED end;
    DWORD written;
    if (runLog == INVALID_HANDLE_VALUE)
        return;
    sim_format_access(access, line);
    /* At the current end, even after someone truncated the log. */
    memset(&end, 0, sizeof(end));
    end.Offset = 0xFFFFFFFFu;
    end.OffsetHigh = 0xFFFFFFFFu;
    WriteFile(runLog, line, SIM_LOG_LINE, &written, &end);
}

/* Only the register written changes in the store: edits of others are kept. */
static void storeRegister(void *ctx, int slot, int index, uint32_t value)
{
    static uint32_t registers[SIM_CARD_REGISTERS];
    if (!runKey)
        return;
    if (!readBinary(runKey, SIM_VALUE_REGISTERS, slot, registers, sizeof(registers)))
        memset(registers, 0, sizeof(registers));
    registers[index] = value;
    writeBinary(runKey, SIM_VALUE_REGISTERS, slot, registers, sizeof(registers));
}

static void storeState(void *ctx, int slot, const SimCardState *state)
{
    if (runKey)
        writeBinary(runKey, SIM_VALUE_STATE, slot, state, sizeof(*state));
}

static uint64_t microseconds(void *ctx)
{
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (uint64_t)(now.QuadPart / frequency.QuadPart * 1000000 +
                      now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart);
}

int simstore_open(SimModel *model)
{
    char path[MAX_PATH];
    int count;
    simstore_close(model);
    runKey = openKey(KEY_READ | KEY_WRITE);
    runGeneration = generation(runKey);
    count = loadFrom(runKey, model);
    simstore_log_path(path, sizeof(path));
    runLog = CreateFileA(path, FILE_APPEND_DATA | SYNCHRONIZE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    model->hooks.accessed = logAccess;
    model->hooks.registerWritten = storeRegister;
    model->hooks.stateChanged = storeState;
    model->hooks.microseconds = microseconds;
    model->hooks.ctx = 0;
    return count;
}

void simstore_close(SimModel *model)
{
    model->hooks.accessed = 0;
    model->hooks.registerWritten = 0;
    model->hooks.stateChanged = 0;
    model->hooks.microseconds = 0;
    if (runLog != INVALID_HANDLE_VALUE)
        CloseHandle(runLog);
    if (runKey)
        RegCloseKey(runKey);
    runLog = INVALID_HANDLE_VALUE;
    runKey = 0;
}
