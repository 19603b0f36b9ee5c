#include "hid_enregistre.h"

#include "texte_journal.h"

#include <algorithm>

void Thid_enregistre::note(const char* cle, std::initializer_list<std::int64_t> nombres,
                           const std::string& suite) {
    if (!enregistreur || !enregistreur->enregistre()) return;
    std::string& l = enregistreur->ligne();
    l += cle;
    for (std::int64_t n : nombres) {
        l += ' ';
        l += std::to_string(n);
    }
    if (!suite.empty()) {
        l += ' ';
        l += suite;
    }
    enregistreur->fin_ligne();
}

THidResult Thid_enregistre::Connect(IHidTarget* target) {
    const THidResult r = reel_.Connect(target);
    note("hid-connect", {r});
    return r;
}

THidId Thid_enregistre::GetVendorID(THidHandle handle) {
    const THidId r = reel_.GetVendorID(handle);
    note("hid-vid", {handle, r});
    return r;
}

THidId Thid_enregistre::GetProductID(THidHandle handle) {
    const THidId r = reel_.GetProductID(handle);
    note("hid-pid", {handle, r});
    return r;
}

THidHandle Thid_enregistre::GetHandle(THidId vendorId, THidId productId) {
    const THidHandle r = reel_.GetHandle(vendorId, productId);
    note("hid-handle", {vendorId, productId, r});
    return r;
}

THidResult Thid_enregistre::SetReadNotify(THidHandle handle, THidBool value) {
    const THidResult r = reel_.SetReadNotify(handle, value);
    note("hid-notif", {handle, value, r});
    return r;
}

THidResult Thid_enregistre::Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) {
    const THidResult r = reel_.Read(handle, buffer, length);
    const std::size_t copies = r > 0 ? std::min(static_cast<std::size_t>(r), length) : 0;
    note("hid-lit", {handle, static_cast<std::int64_t>(length), r}, octets_en_hexa(buffer, copies));
    return r;
}

THidResult Thid_enregistre::Write(THidHandle handle, const std::uint8_t* buffer,
                                  std::size_t length) {
    const THidResult r = reel_.Write(handle, buffer, length);
    note("hid-ecrit", {handle, r}, octets_en_hexa(buffer, length));
    return r;
}
