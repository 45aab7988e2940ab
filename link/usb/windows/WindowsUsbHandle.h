#pragma once
// One open cutter on Windows: a handle on the device-interface path of its USB printing
// interface, opened for overlapped I/O so that a transfer waits on its own event and on a wake
// event together; interrupt() sets the latter and the pending request is cancelled.

#include "link/usb/UsbDeviceAccess.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <string>

class WindowsUsbHandle : public UsbHandle
{
public:
    // Opens the device path; null with GetLastError()'s value in `error` on failure.
    static std::unique_ptr<WindowsUsbHandle> open(const std::wstring &path, DWORD &error);
    ~WindowsUsbHandle() override;
    WindowsUsbHandle(const WindowsUsbHandle &) = delete;
    WindowsUsbHandle &operator=(const WindowsUsbHandle &) = delete;

    Result read(char *buffer, int capacity, int &count, int timeoutMs) override;
    Result write(const QByteArray &bytes) override;
    void interrupt(bool lost) override;

private:
    WindowsUsbHandle(HANDLE device, HANDLE wake);
    // Waits for the overlapped request started on `record`; cancels it on time-out or wake.
    Result complete(OVERLAPPED &record, DWORD timeoutMs, DWORD &transferred);

    HANDLE device;
    HANDLE wake; // manual-reset: once interrupted, every later wait ends at once
    std::atomic<bool> lostRequested{false};
};
