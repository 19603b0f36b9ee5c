#pragma once
// The HID library under a test's control: devices with chosen ids, plugged,
// unplugged and made to send reports on demand, every notification posted at
// once on the caller's thread, and every call recorded with its arguments.
//
// Like the real one: handles are given in plugging order from 1 and never reused;
// an unplugged device still answers its ids and gives the reports queued for it;
// a handle never given answers 0 and reads and writes nothing.

#include "cUSBInterface.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

class Thid_scripte : public cUSBInterface {
public:
    struct Tappel {
        std::string operation;
        // Connect: none. GetVendorID, GetProductID: handle. GetHandle: vendor, product.
        // SetReadNotify: handle, value. Read: handle, length. Write: handle, then each byte.
        std::vector<std::int64_t> arguments;
    };
    std::vector<Tappel> appels;
    // The bytes of every Write that reached a plugged device, in order.
    std::vector<std::vector<std::uint8_t>> ecrits;
    // What GetHandle answers when no plugged device has the ids asked for.
    THidHandle handle_si_absent = 0;
    // What SetReadNotify answers for a plugged device: 1, or why it cannot be opened.
    THidResult ouverture = 1;

    // Adds a device and announces it (plugged).
    THidHandle branche(THidId vid, THidId pid);
    // Removes a device and announces it (unplugged).
    void debranche(THidHandle handle);
    // Announces that the list of devices changed.
    void change_liste();
    // Queues an input report (report identifier first) and announces it when the
    // device's reports are to be announced. An unplugged device sends nothing.
    void injecte_rapport(THidHandle handle, std::vector<std::uint8_t> rapport);

    // Whether SetReadNotify last switched the device's report notifications on.
    bool lecture_notifiee(THidHandle handle) const;
    // The operations called so far, in order, without their arguments.
    std::vector<std::string> operations() const;

    THidResult Connect(IHidTarget* target) override;
    THidId GetVendorID(THidHandle handle) override;
    THidId GetProductID(THidHandle handle) override;
    THidHandle GetHandle(THidId vendorId, THidId productId) override;
    THidResult SetReadNotify(THidHandle handle, THidBool value) override;
    THidResult Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) override;
    THidResult Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) override;

private:
    struct Tperipherique {
        THidId vendor_id = 0;
        THidId product_id = 0;
        bool branche = true;
        bool notifie_lecture = false;
        std::deque<std::vector<std::uint8_t>> rapports;
    };
    void poste(std::uint32_t wParam, std::uint32_t lParam);

    IHidTarget* cible_ = nullptr;
    THidHandle prochain_handle_ = 1;
    std::map<THidHandle, Tperipherique> peripheriques_;
};
