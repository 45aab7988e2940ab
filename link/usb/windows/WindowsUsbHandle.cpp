#include "WindowsUsbHandle.h"

std::unique_ptr<WindowsUsbHandle> WindowsUsbHandle::open(const std::wstring &path, DWORD &error)
{
    HANDLE device =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    HANDLE wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!wake) {
        error = GetLastError();
        CloseHandle(device);
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return std::unique_ptr<WindowsUsbHandle>(new WindowsUsbHandle(device, wake));
}

WindowsUsbHandle::WindowsUsbHandle(HANDLE device, HANDLE wake) : device(device), wake(wake) {}

WindowsUsbHandle::~WindowsUsbHandle()
{
    CloseHandle(device);
    CloseHandle(wake);
}

UsbHandle::Result WindowsUsbHandle::complete(OVERLAPPED &record, DWORD timeoutMs,
                                             DWORD &transferred)
{
    const HANDLE events[2] = {record.hEvent, wake};
    const DWORD woken = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (woken != WAIT_OBJECT_0) {
        // The buffer must outlive the request: cancel it and wait until it has let go.
        CancelIoEx(device, &record);
        GetOverlappedResult(device, &record, &transferred, TRUE);
        if (woken == WAIT_OBJECT_0 + 1 && lostRequested)
            return Result::Lost;
        return woken == WAIT_OBJECT_0 + 1 || woken == WAIT_TIMEOUT ? Result::Idle : Result::Lost;
    }
    return GetOverlappedResult(device, &record, &transferred, TRUE) ? Result::Data : Result::Lost;
}

UsbHandle::Result WindowsUsbHandle::read(char *buffer, int capacity, int &count, int timeoutMs)
{
    count = 0;
    OVERLAPPED record = {};
    record.hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!record.hEvent)
        return Result::Lost;
    DWORD transferred = 0;
    Result result = Result::Lost;
    if (ReadFile(device, buffer, DWORD(capacity), nullptr, &record) ||
        GetLastError() == ERROR_IO_PENDING)
        result = complete(record, timeoutMs < 0 ? INFINITE : DWORD(timeoutMs), transferred);
    CloseHandle(record.hEvent);
    count = int(transferred);
    return result == Result::Data && count == 0 ? Result::Idle : result;
}

UsbHandle::Result WindowsUsbHandle::write(const QByteArray &bytes)
{
    OVERLAPPED record = {};
    record.hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!record.hEvent)
        return Result::Lost;
    DWORD transferred = 0;
    Result result = Result::Lost;
    if (WriteFile(device, bytes.constData(), DWORD(bytes.size()), nullptr, &record) ||
        GetLastError() == ERROR_IO_PENDING)
        result = complete(record, INFINITE, transferred);
    CloseHandle(record.hEvent);
    return result;
}

void WindowsUsbHandle::interrupt(bool lost)
{
    if (lost)
        lostRequested = true;
    SetEvent(wake);
}
