#pragma once
// Types and numbers of the HID library's operations: 32-bit handles, ids and
// flags, and the notification message with its four kinds.

#include <cstdint>

using THidHandle = std::uint32_t;
using THidId = std::uint32_t;
using THidBool = std::int32_t; // true is passed as all bits set
using THidResult = std::int32_t;

inline constexpr THidBool HID_TRUE = -1;
inline constexpr THidBool HID_FALSE = 0;

// What SetReadNotify answers for a device that is plugged but cannot be opened now, beside 1
// (switched) and 0 (no such device plugged). It is tried again, and NOTIFY_CHANGED says when
// it opens.
inline constexpr THidResult HID_OUVERTURE_REFUSEE = -1; // gone meanwhile, or refused
inline constexpr THidResult HID_OCCUPE = -2;            // another program holds it without sharing

// The window system's first application message number plus 200.
inline constexpr std::uint32_t WM_HID_EVENT = 0x80C8;

// Kinds of notification, carried in wParam; lParam carries the device's handle.
inline constexpr std::uint32_t NOTIFY_PLUGGED = 1;
inline constexpr std::uint32_t NOTIFY_UNPLUGGED = 2;
inline constexpr std::uint32_t NOTIFY_CHANGED = 3;
inline constexpr std::uint32_t NOTIFY_READ = 4;

// The box: vendor 0x04D8, product 0.
inline constexpr THidId VID_BOITIER = 0x04D8;
inline constexpr THidId PID_BOITIER = 0;

// Where the library posts its notifications. Called from any thread: an
// implementation only queues the notification for the event loop's thread.
class IHidTarget {
public:
    virtual ~IHidTarget() = default;
    virtual void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) = 0;
};
