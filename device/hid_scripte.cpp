// The scripted HID library: plain bookkeeping, single-threaded.
#include "hid_scripte.h"

#include <algorithm>
#include <cstring>

void Thid_scripte::poste(std::uint32_t wParam, std::uint32_t lParam) {
    if (cible_) cible_->PostHidEvent(wParam, lParam);
}

THidHandle Thid_scripte::branche(THidId vid, THidId pid) {
    const THidHandle handle = prochain_handle_++;
    Tperipherique& p = peripheriques_[handle];
    p.vendor_id = vid;
    p.product_id = pid;
    poste(NOTIFY_PLUGGED, handle);
    return handle;
}

void Thid_scripte::debranche(THidHandle handle) {
    auto it = peripheriques_.find(handle);
    if (it == peripheriques_.end() || !it->second.branche) return;
    it->second.branche = false;
    it->second.notifie_lecture = false;
    poste(NOTIFY_UNPLUGGED, handle);
}

void Thid_scripte::change_liste() {
    poste(NOTIFY_CHANGED, 0);
}

void Thid_scripte::injecte_rapport(THidHandle handle, std::vector<std::uint8_t> rapport) {
    auto it = peripheriques_.find(handle);
    if (it == peripheriques_.end() || !it->second.branche) return;
    it->second.rapports.push_back(std::move(rapport));
    if (it->second.notifie_lecture) poste(NOTIFY_READ, handle);
}

bool Thid_scripte::lecture_notifiee(THidHandle handle) const {
    auto it = peripheriques_.find(handle);
    return it != peripheriques_.end() && it->second.notifie_lecture;
}

std::vector<std::string> Thid_scripte::operations() const {
    std::vector<std::string> ops;
    for (const auto& a : appels)
        ops.push_back(a.operation);
    return ops;
}

THidResult Thid_scripte::Connect(IHidTarget* target) {
    appels.push_back({"Connect", {}});
    cible_ = target;
    return 1;
}

THidId Thid_scripte::GetVendorID(THidHandle handle) {
    appels.push_back({"GetVendorID", {handle}});
    auto it = peripheriques_.find(handle);
    return it == peripheriques_.end() ? 0 : it->second.vendor_id;
}

THidId Thid_scripte::GetProductID(THidHandle handle) {
    appels.push_back({"GetProductID", {handle}});
    auto it = peripheriques_.find(handle);
    return it == peripheriques_.end() ? 0 : it->second.product_id;
}

THidHandle Thid_scripte::GetHandle(THidId vendorId, THidId productId) {
    appels.push_back({"GetHandle", {vendorId, productId}});
    for (const auto& [handle, p] : peripheriques_)
        if (p.branche && p.vendor_id == vendorId && p.product_id == productId) return handle;
    return handle_si_absent;
}

THidResult Thid_scripte::SetReadNotify(THidHandle handle, THidBool value) {
    appels.push_back({"SetReadNotify", {handle, value}});
    auto it = peripheriques_.find(handle);
    if (it == peripheriques_.end() || !it->second.branche) return 0;
    if (value != HID_FALSE && ouverture != 1) return ouverture;
    it->second.notifie_lecture = value != HID_FALSE;
    return 1;
}

THidResult Thid_scripte::Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) {
    appels.push_back({"Read", {handle, static_cast<std::int64_t>(length)}});
    auto it = peripheriques_.find(handle);
    if (!buffer || it == peripheriques_.end() || it->second.rapports.empty()) return 0;
    const std::vector<std::uint8_t>& r = it->second.rapports.front();
    const std::size_t n = std::min(length, r.size());
    if (n > 0) std::memcpy(buffer, r.data(), n);
    it->second.rapports.pop_front();
    return static_cast<THidResult>(n);
}

THidResult Thid_scripte::Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) {
    Tappel appel{"Write", {handle}};
    if (buffer) appel.arguments.insert(appel.arguments.end(), buffer, buffer + length);
    appels.push_back(std::move(appel));
    auto it = peripheriques_.find(handle);
    if (!buffer || it == peripheriques_.end() || !it->second.branche) return 0;
    ecrits.emplace_back(buffer, buffer + length);
    return static_cast<THidResult>(length);
}
