/* A stand-in for the course's main program, a 32-bit Windows program run
 * under Wine: it writes the activity into TEMPO.SZK in its own folder,
 * starts RUZEZ.EXE from that folder as the real program does, and watches
 * record 19 ("OUI" while the browser runs, "NON" after it closed).
 *
 *   standin.exe createprocess|winexec [SECONDS]
 *   standin.exe stay SECONDS      (keeps the Wine session up, starts nothing)
 *
 * With SECONDS 0 or less it only starts RUZEZ.EXE and stays -SECONDS
 * seconds more, as the main program stays beside the browser (for the
 * benchmark). Prints "requested <unix ms>", "OUI after <ms>", "NON after <ms>" and exits
 * 0 when both were seen and every other byte of records 1-40 is unchanged.
 * Before starting RUZEZ.EXE it puts the request time into RUZEZ_T0_NS, for
 * the benchmark's browser to report the time to its first page. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define RECORD 128
#define RECORDS 40

static char folder[MAX_PATH];
static char exchange[MAX_PATH];

static long long unixMs(void)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG t = ((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime;
    return (long long)(t / 10000ULL) - 11644473600000LL;
}

/* Records 1-40, each byte telling its record and place; record 26 holds "21". */
static void expected(unsigned char *data)
{
    for (int i = 0; i < RECORDS * RECORD; ++i)
        data[i] = (unsigned char)(0x20 + (i / RECORD) * 3 + (i % RECORD)) | 0x80;
    memset(data + 25 * RECORD, 0, RECORD);
    data[25 * RECORD] = 2;
    memcpy(data + 25 * RECORD + 2, "21", 2);
}

static int readExchange(unsigned char *data)
{
    HANDLE file = CreateFileA(exchange, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    BOOL ok = ReadFile(file, data, RECORDS * RECORD, &got, NULL);
    CloseHandle(file);
    return ok && got == RECORDS * RECORD;
}

static int record19Is(const unsigned char *data, const char *text)
{
    const unsigned char *r = data + 18 * RECORD;
    size_t n = strlen(text);
    return r[0] == n && r[1] == 0 && memcmp(r + 2, text, n) == 0;
}

/* Waits until record 19 reads `text`; -1 after `seconds`. */
static long long waitFor(const char *text, long long since, int seconds, unsigned char *data)
{
    for (;;) {
        if (readExchange(data) && record19Is(data, text))
            return unixMs() - since;
        if (unixMs() - since > seconds * 1000LL)
            return -1;
        Sleep(20);
    }
}

int main(int argc, char **argv)
{
    const char *how = argc > 1 ? argv[1] : "createprocess";
    int seconds = argc > 2 ? atoi(argv[2]) : 60;
    if (strcmp(how, "stay") == 0) {
        Sleep(seconds * 1000);
        return 0;
    }
    GetModuleFileNameA(NULL, folder, MAX_PATH);
    *strrchr(folder, '\\') = 0;
    snprintf(exchange, sizeof exchange, "%s\\TEMPO.SZK", folder);

    static unsigned char written[RECORDS * RECORD], seen[RECORDS * RECORD];
    expected(written);
    HANDLE file = CreateFileA(exchange, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD put = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, written, sizeof written, &put, NULL) || put != sizeof written) {
        printf("cannot write %s\n", exchange);
        return 2;
    }
    CloseHandle(file);

    char command[MAX_PATH + 16];
    snprintf(command, sizeof command, "%s\\RUZEZ.EXE", folder);
    const long long requested = unixMs();
    char t0[32];
    snprintf(t0, sizeof t0, "%lld000000", requested);
    SetEnvironmentVariableA("RUZEZ_T0_NS", t0);
    printf("requested %lld\n", requested);
    fflush(stdout);
    if (strcmp(how, "winexec") == 0) {
        UINT r = WinExec(command, SW_SHOWNORMAL);
        if (r <= 31) {
            printf("WinExec failed: %u\n", r);
            return 3;
        }
    } else {
        STARTUPINFOA si = {sizeof si};
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, folder, &si, &pi)) {
            printf("CreateProcess failed: %lu\n", GetLastError());
            return 3;
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }

    if (seconds <= 0) {
        Sleep(-seconds * 1000);
        return 0;
    }
    long long oui = waitFor("OUI", requested, seconds, seen);
    printf("OUI after %lld\n", oui);
    fflush(stdout);
    if (oui < 0)
        return 4;
    long long non = waitFor("NON", requested, seconds, seen);
    printf("NON after %lld\n", non);
    if (non < 0)
        return 5;
    for (int i = 0; i < RECORDS * RECORD; ++i) {
        if (i / RECORD != 18 && seen[i] != written[i]) {
            printf("byte %d of TEMPO.SZK changed: %02x, was %02x\n", i, seen[i], written[i]);
            return 6;
        }
    }
    printf("other bytes unchanged\n");
    return 0;
}
