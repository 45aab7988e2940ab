#include "WindowsUsbAccess.h"

#include "WindowsUsbHandle.h"

namespace {
const wchar_t CutterKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0483&PID_5710&MI_00";
const wchar_t PathPrefix[] = L"\\??\\USB#VID_0483&PID_5710&MI_00#";
// GUID_DEVINTERFACE_USBPRINT: the interface class Windows gives USB printing interfaces.
const wchar_t PathSuffix[] = L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
constexpr size_t MaxPath = 259;
constexpr DWORD NameChars = 256;

UsbDeviceState stateForOpenError(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return UsbDeviceState::NoPermission;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return UsbDeviceState::Busy;
    default:
        return UsbDeviceState::Absent;
    }
}
} // namespace

std::wstring WindowsUsbAccess::devicePath(const QString &name)
{
    const std::wstring path = PathPrefix + name.toStdWString() + PathSuffix;
    return name.isEmpty() || path.size() > MaxPath ? std::wstring() : path;
}

QStringList WindowsUsbAccess::attachedCutters()
{
    QStringList names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CutterKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    // The registry remembers every cutter ever attached; only those whose path opens are here.
    for (DWORD index = 0;; ++index) {
        wchar_t name[NameChars] = {};
        DWORD length = NameChars;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const QString instance = QString::fromWCharArray(name, int(length));
        if (probe(instance) != UsbDeviceState::Absent)
            names.append(instance);
    }
    RegCloseKey(key);
    return names;
}

QString WindowsUsbAccess::node(const QString &name)
{
    return probe(name) == UsbDeviceState::Absent ? QString()
                                                 : QString::fromStdWString(devicePath(name));
}

UsbDeviceState WindowsUsbAccess::probe(const QString &name)
{
    UsbDeviceState state = UsbDeviceState::Absent;
    open(name, state);
    return state;
}

std::unique_ptr<UsbHandle> WindowsUsbAccess::open(const QString &name, UsbDeviceState &state)
{
    const std::wstring path = devicePath(name);
    DWORD error = ERROR_FILE_NOT_FOUND;
    std::unique_ptr<UsbHandle> handle;
    if (!path.empty())
        handle = WindowsUsbHandle::open(path, error);
    state = handle ? UsbDeviceState::Present : stateForOpenError(error);
    return handle;
}

std::unique_ptr<UsbDeviceAccess> createUsbDeviceAccess()
{
    return std::make_unique<WindowsUsbAccess>();
}

bool isUsbDeviceChangeMessage(const QByteArray &eventType, void *message)
{
    constexpr UINT DeviceChange = 0x0219; // WM_DEVICECHANGE
    if (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG")
        return false;
    return message && static_cast<const MSG *>(message)->message == DeviceChange;
}
