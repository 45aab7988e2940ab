#pragma once
// Cutters on Windows: the instance names are the subkeys of the cutter's USB interface in the
// registry's device enumeration; a cutter is attached when its device-interface path opens.
// Device changes reach the window as WM_DEVICECHANGE, not through onChange.

#include "link/usb/UsbDeviceAccess.h"

#include <string>

class WindowsUsbAccess : public UsbDeviceAccess
{
public:
    QStringList attachedCutters() override;
    QString node(const QString &name) override;
    UsbDeviceState probe(const QString &name) override;
    std::unique_ptr<UsbHandle> open(const QString &name, UsbDeviceState &state) override;

private:
    // "\\??\\USB#VID_0483&PID_5710&MI_00#" + name + the USB printing interface class; empty when
    // the result would not fit a path of 259 characters.
    static std::wstring devicePath(const QString &name);
};
