#include "UsbRead.h"

#include "usb/UsbDeviceAccess.h"

#include <cstring>

UsbRead::UsbRead(UsbHandle *handle, int timeoutMs) : handle(handle), timeoutMs(timeoutMs) {}

void UsbRead::Read()
{
    char buffer[TransferBytes] = {};
    int count = 0;
    const UsbHandle::Result result =
        handle ? handle->read(buffer, TransferBytes, count, timeoutMs) : UsbHandle::Result::Lost;
    switch (result) {
    case UsbHandle::Result::Data: {
        const void *nul = std::memchr(buffer, 0, size_t(count));
        const int length = nul ? int(static_cast<const char *>(nul) - buffer) : count;
        emit upgrade(QString::fromLatin1(buffer, length));
        break;
    }
    case UsbHandle::Result::Idle:
        emit idle();
        break;
    case UsbHandle::Result::Lost:
        emit lost();
        break;
    }
}
