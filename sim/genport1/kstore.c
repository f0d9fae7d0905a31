/* The scenario store seen from the kernel: the registry through Zw* calls and the
 * access log kept open for the driver's lifetime (one write per port access). */
#include <ntddk.h>
#include "simstore.h"
#include "stop_race.h"

#define KEY_PATH L"\\Registry\\Machine\\SOFTWARE\\ZykSim"
#define VALUE_BYTES 1024 /* the largest value: a card's registers */
#define LOG_PATH_CHARS 300

static HANDLE scenarioKey;
static HANDLE logFile;
/* Used by DriverEntry and then under the driver's lock; static to keep the stack small. */
static UCHAR valueBuffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + VALUE_BYTES];

static void copyBytes(void *to, const void *from, int count)
{
    int k;
    for (k = 0; k < count; k++)
        ((UCHAR *)to)[k] = ((const UCHAR *)from)[k];
}

static void nameToUnicode(const char *name, WCHAR *out, int size, UNICODE_STRING *us)
{
    int n = 0;
    while (name[n] && n < size - 1) {
        out[n] = (WCHAR)(unsigned char)name[n];
        n++;
    }
    out[n] = 0;
    us->Buffer = out;
    us->Length = (USHORT)(n * sizeof(WCHAR));
    us->MaximumLength = (USHORT)((n + 1) * sizeof(WCHAR));
}

/* The value's data, or 0 when it is missing or of another type. */
static const KEY_VALUE_PARTIAL_INFORMATION *queryValue(const char *name, ULONG type)
{
    WCHAR wide[32];
    UNICODE_STRING us;
    ULONG length = 0;
    KEY_VALUE_PARTIAL_INFORMATION *info = (KEY_VALUE_PARTIAL_INFORMATION *)valueBuffer;
    nameToUnicode(name, wide, 32, &us);
    if (!NT_SUCCESS(ZwQueryValueKey(scenarioKey, &us, KeyValuePartialInformation, info,
                                    sizeof(valueBuffer), &length)))
        return 0;
    return info->Type == type ? info : 0;
}

int simstore_read_dword(const char *name, unsigned long *value)
{
    const KEY_VALUE_PARTIAL_INFORMATION *info = scenarioKey ? queryValue(name, REG_DWORD) : 0;
    if (!info || info->DataLength != sizeof(ULONG))
        return 0;
    *value = *(const ULONG *)info->Data;
    return 1;
}

void simstore_write_dword(const char *name, unsigned long value)
{
    WCHAR wide[32];
    UNICODE_STRING us;
    ULONG data = (ULONG)value;
    if (!scenarioKey)
        return;
    nameToUnicode(name, wide, 32, &us);
    ZwSetValueKey(scenarioKey, &us, 0, REG_DWORD, &data, sizeof(data));
}

static void loadDevices(SimModel *model)
{
    int slot, k;
    for (slot = 0; slot < SIM_MAX_DEVICES; slot++) {
        static SimDeviceRecord record;
        static uint32_t registers[SIM_CARD_REGISTERS];
        char name[16];
        const KEY_VALUE_PARTIAL_INFORMATION *info;

        sim_value_name(SIM_VALUE_DEVICE, slot, name);
        info = queryValue(name, REG_BINARY);
        if (!info || info->DataLength != sizeof(record))
            continue;
        copyBytes(&record, info->Data, sizeof(record));

        for (k = 0; k < SIM_CARD_REGISTERS; k++)
            registers[k] = 0;
        sim_value_name(SIM_VALUE_REGISTERS, slot, name);
        info = queryValue(name, REG_BINARY);
        if (info && info->DataLength == sizeof(registers))
            copyBytes(registers, info->Data, sizeof(registers));

        sim_model_put(model, slot, record.location, record.config,
                      (record.flags & SIM_DEVICE_IS_CARD) != 0, registers);

        sim_value_name(SIM_VALUE_STATE, slot, name);
        info = queryValue(name, REG_BINARY);
        if (info && info->DataLength == sizeof(SimCardState)) {
            SimCardState state;
            copyBytes(&state, info->Data, sizeof(state));
            sim_model_set_state(model, slot, &state);
        }
    }
}

/* The log's path as an NT path: "\\??\\" before a DOS path. */
static int appendAscii(WCHAR *out, int n, const char *text)
{
    while (*text && n < LOG_PATH_CHARS - 1)
        out[n++] = (WCHAR)(unsigned char)*text++;
    return n;
}

static void openLog(void)
{
    static WCHAR path[LOG_PATH_CHARS];
    const KEY_VALUE_PARTIAL_INFORMATION *info = queryValue(SIM_VALUE_LOGFILE, REG_SZ);
    const WCHAR *named = info ? (const WCHAR *)info->Data : 0;
    int namedLen = info ? (int)(info->DataLength / sizeof(WCHAR)) : 0;
    int n = 0, i;
    UNICODE_STRING us;
    OBJECT_ATTRIBUTES oa;
    IO_STATUS_BLOCK iosb;

    if (named && namedLen > 0 && named[0] != 0) {
        if (named[0] != '\\')
            n = appendAscii(path, n, "\\??\\");
        for (i = 0; i < namedLen && named[i] && n < LOG_PATH_CHARS - 1; i++)
            path[n++] = named[i];
    } else {
        n = appendAscii(path, n, "\\??\\");
        n = appendAscii(path, n, SIM_DEFAULT_LOG);
    }
    path[n] = 0;
    us.Buffer = path;
    us.Length = (USHORT)(n * sizeof(WCHAR));
    us.MaximumLength = (USHORT)((n + 1) * sizeof(WCHAR));

    InitializeObjectAttributes(&oa, &us, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwCreateFile(&logFile, FILE_APPEND_DATA | SYNCHRONIZE, &oa, &iosb, NULL,
                                 FILE_ATTRIBUTE_NORMAL,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 FILE_OPEN_IF, FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE,
                                 NULL, 0)))
        logFile = 0;
}

static void logAccess(void *ctx, const SimAccess *access)
{
    char line[SIM_LOG_LINE];
    IO_STATUS_BLOCK iosb;
    LARGE_INTEGER end;
    if (!logFile)
        return;
    sim_format_access(access, line);
    /* Always at the current end: a test may truncate the log while we hold it. */
    end.HighPart = -1;
    end.LowPart = FILE_WRITE_TO_END_OF_FILE;
    ZwWriteFile(logFile, NULL, NULL, NULL, &iosb, line, SIM_LOG_LINE, &end, NULL);
}

/* Only the register written changes in the store, so that an edit of another register
 * made meanwhile (by a test) is kept. Runs under the driver's lock. */
static void storeRegister(void *ctx, int slot, int index, uint32_t value)
{
    static uint32_t registers[SIM_CARD_REGISTERS];
    const KEY_VALUE_PARTIAL_INFORMATION *info;
    char name[16];
    WCHAR wide[32];
    UNICODE_STRING us;
    int k;
    if (!scenarioKey)
        return;
    sim_value_name(SIM_VALUE_REGISTERS, slot, name);
    info = queryValue(name, REG_BINARY);
    if (info && info->DataLength == sizeof(registers))
        copyBytes(registers, info->Data, sizeof(registers));
    else
        for (k = 0; k < SIM_CARD_REGISTERS; k++)
            registers[k] = 0;
    registers[index] = value;
    nameToUnicode(name, wide, 32, &us);
    ZwSetValueKey(scenarioKey, &us, 0, REG_BINARY, registers, sizeof(registers));
}

static void storeState(void *ctx, int slot, const SimCardState *state)
{
    char name[16];
    WCHAR wide[32];
    UNICODE_STRING us;
    if (!scenarioKey)
        return;
    sim_value_name(SIM_VALUE_STATE, slot, name);
    nameToUnicode(name, wide, 32, &us);
    ZwSetValueKey(scenarioKey, &us, 0, REG_BINARY, (PVOID)state, sizeof(*state));
}

/* The system time (100 ns units) as the kernel exports it. The 64-bit headers read it
 * from the shared user data instead, which Wine updates only now and then, and their
 * import library lacks it: there it is looked up by name. */
typedef VOID(NTAPI *QuerySystemTime)(PLARGE_INTEGER time);
static QuerySystemTime querySystemTime;

#ifndef _WIN64
static VOID NTAPI importedSystemTime(PLARGE_INTEGER time) { KeQuerySystemTime(time); }
#endif

static int findClock(void)
{
#ifdef _WIN64
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, L"KeQuerySystemTime");
    querySystemTime = (QuerySystemTime)MmGetSystemRoutineAddress(&name);
#else
    querySystemTime = importedSystemTime;
#endif
    return querySystemTime != 0;
}

static uint64_t microseconds(void *ctx)
{
    LARGE_INTEGER now;
    querySystemTime(&now);
    return (uint64_t)now.QuadPart / 10u;
}

int simstore_open(SimModel *model)
{
    UNICODE_STRING us;
    OBJECT_ATTRIBUTES oa;
    int slot, count = 0;

    sim_model_clear(model);
    RtlInitUnicodeString(&us, KEY_PATH);
    InitializeObjectAttributes(&oa, &us, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&scenarioKey, KEY_QUERY_VALUE | KEY_SET_VALUE, &oa)))
        scenarioKey = 0;
    if (scenarioKey)
        loadDevices(model);
    openLog();
    model->hooks.accessed = logAccess;
    model->hooks.registerWritten = storeRegister;
    model->hooks.stateChanged = storeState;
    /* Without a clock the chips' timing is not modelled. */
    model->hooks.microseconds = findClock() ? microseconds : 0;
    model->hooks.ctx = 0;
    for (slot = 0; slot < SIM_MAX_DEVICES; slot++)
        count += model->devices[slot].present;
    return count;
}

void simstore_close(SimModel *model)
{
    model->hooks.accessed = 0;
    model->hooks.registerWritten = 0;
    model->hooks.stateChanged = 0;
    model->hooks.microseconds = 0;
    if (logFile)
        ZwClose(logFile);
    if (scenarioKey)
        ZwClose(scenarioKey);
    logFile = 0;
    scenarioKey = 0;
}
