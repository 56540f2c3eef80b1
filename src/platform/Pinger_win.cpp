// Windows ping: IcmpSendEcho from icmp.dll, loaded once after Winsock 1.1 has started; names are
// resolved through the W call after an explicit code page 936 conversion.

// Order matters: Winsock before windows.h, and the ICMP types after both.
#include <winsock2.h>

#include <windows.h>

#include <ws2tcpip.h>

#include <ipexport.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>

#include "CodePage.h"
#include "Pinger.h"

namespace vardex {
namespace {

using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID,
                                      DWORD, DWORD);

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// One reply and room for an ICMP error, as IcmpSendEcho asks; the 36 bytes of the 32-bit
// layout would be too small for the 64-bit reply, and every ping would fail.
constexpr DWORD kReplyBufferSize =
    std::max<DWORD>(36, static_cast<DWORD>(sizeof(ICMP_ECHO_REPLY) + 8));

class WinPinger : public Pinger {
public:
    ~WinPinger() override {
        if (winsockStarted_) {
            if (icmp_ != nullptr) {
                FreeLibrary(icmp_);
            }
            WSACleanup();
        }
    }

    // IcmpSendEcho cannot be interrupted, so Cancel only stops later pings here; one in flight
    // still runs to its reply or its time-out.
    void Cancel() override { cancelled_.store(true); }

    int PingHost(const std::string& host, int timeoutMs) override {
        // An empty name resolves to this computer, which would show the row online; a NUL would
        // cut the text short.
        if (cancelled_.load() || host.empty() || host.find('\0') != std::string::npos) {
            return -1;
        }
        HMODULE icmp = StartOnce();
        if (icmp == nullptr) {
            return -1;
        }
        const auto create = Lookup<IcmpCreateFileFn>(icmp, "IcmpCreateFile");
        const auto send = Lookup<IcmpSendEchoFn>(icmp, "IcmpSendEcho");
        const auto close = Lookup<IcmpCloseHandleFn>(icmp, "IcmpCloseHandle");
        if (create == nullptr || send == nullptr || close == nullptr) {
            return -1;
        }
        IPAddr address = 0;
        if (!Resolve(host, address) || cancelled_.load()) {
            return -1;
        }

        const HANDLE handle = create();
        if (handle == INVALID_HANDLE_VALUE) {
            return -1;
        }
        char request = 0;  // no payload: RequestSize 0
        alignas(ICMP_ECHO_REPLY) unsigned char replies[kReplyBufferSize] = {};
        const DWORD count = send(handle, address, &request, 0, nullptr, replies, kReplyBufferSize,
                                 static_cast<DWORD>(std::max(timeoutMs, 0)));
        close(handle);
        if (count == 0) {
            return -1;
        }
        ICMP_ECHO_REPLY first;
        std::memcpy(&first, replies, sizeof first);
        // A "destination unreachable" or "TTL expired" also comes back as a reply; only an echo
        // reply means that the host answered.
        if (first.Status != IP_SUCCESS) {
            return -1;
        }
        return static_cast<int>(std::min<ULONG>(first.RoundTripTime, INT_MAX));
    }

private:
    // Winsock is started until it succeeds once; icmp.dll is loaded right after that success
    // and never again, so a failed load stays failed.
    HMODULE StartOnce() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!winsockStarted_) {
            WSADATA data;
            if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
                return nullptr;
            }
            winsockStarted_ = true;
            icmp_ = LoadLibraryA("icmp.dll");
        }
        return icmp_;
    }

    // inet_addr rules first, then the first IPv4 address of the name.
    static bool Resolve(const std::string& host, IPAddr& address) {
        const unsigned long dotted = inet_addr(host.c_str());
        if (dotted != INADDR_NONE) {
            address = dotted;
            return true;
        }
        const auto wide = GbkToUtf16(host);
        if (!wide) {
            return false;
        }
        const std::wstring name(wide->begin(), wide->end());
        ADDRINFOW hints = {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        ADDRINFOW* results = nullptr;
        if (GetAddrInfoW(name.c_str(), nullptr, &hints, &results) != 0 || results == nullptr) {
            return false;
        }
        const bool found = results->ai_family == AF_INET;
        if (found) {
            address = reinterpret_cast<const sockaddr_in*>(results->ai_addr)->sin_addr.s_addr;
        }
        FreeAddrInfoW(results);
        return found;
    }

    std::mutex mutex_;
    bool winsockStarted_ = false;
    HMODULE icmp_ = nullptr;
    std::atomic<bool> cancelled_{false};
};

}  // namespace

std::unique_ptr<Pinger> MakeSystemPinger(PingMeans) {
    return std::make_unique<WinPinger>();
}

}  // namespace vardex
