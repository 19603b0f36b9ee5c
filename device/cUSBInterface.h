#pragma once
// The HID library's operations, as the link uses them. A real implementation
// drives the box through hidapi; a scripted one stands in for it in tests.

#include "cUSBInterfaceTypes.h"

#include <cstddef>
#include <cstdint>

class cUSBInterface {
public:
    virtual ~cUSBInterface() = default;

    // From now on notifications go to `target` (plugging, unplugging, list
    // changes and, once switched on, input reports).
    virtual THidResult Connect(IHidTarget* target) = 0;
    // A handle never given answers 0; every other operation on it does nothing.
    virtual THidId GetVendorID(THidHandle handle) = 0;
    virtual THidId GetProductID(THidHandle handle) = 0;
    virtual THidHandle GetHandle(THidId vendorId, THidId productId) = 0;
    // 1 once switched; 0 for a handle not plugged; HID_OCCUPE or HID_OUVERTURE_REFUSEE when the
    // device cannot be opened to read it.
    virtual THidResult SetReadNotify(THidHandle handle, THidBool value) = 0;
    // Copies the oldest pending input report, report identifier first, within `length` bytes.
    // Returns the bytes copied: 0 when there was none, and the buffer is then left as it was.
    virtual THidResult Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) = 0;
    // Sends `length` bytes (report identifier first) as an output report; returns the bytes sent.
    virtual THidResult Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) = 0;
};
