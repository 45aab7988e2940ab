#include "UsbWrite.h"

#include "usb/UsbDeviceAccess.h"

UsbWrite::UsbWrite(UsbHandle *handle, QByteArray bytes) : handle(handle), bytes(std::move(bytes)) {}

void UsbWrite::Write()
{
    switch (handle ? handle->write(bytes) : UsbHandle::Result::Lost) {
    case UsbHandle::Result::Data:
        emit done();
        break;
    case UsbHandle::Result::Idle:
        emit idle();
        break;
    case UsbHandle::Result::Lost:
        emit lost();
        break;
    }
}
