#pragma once
// The HID library as the link gets it while a journal is kept: each operation goes to
// the real library and is recorded with its arguments and its answer.

#include "cUSBInterface.h"
#include "enregistreur.h"

class Thid_enregistre : public cUSBInterface {
public:
    // `enregistreur` may be null (or set later): the operations then only pass through.
    Thid_enregistre(cUSBInterface& reel, Tenregistreur* enregistreur)
        : enregistreur(enregistreur), reel_(reel) {}

    Tenregistreur* enregistreur;

    THidResult Connect(IHidTarget* target) override;
    THidId GetVendorID(THidHandle handle) override;
    THidId GetProductID(THidHandle handle) override;
    THidHandle GetHandle(THidId vendorId, THidId productId) override;
    THidResult SetReadNotify(THidHandle handle, THidBool value) override;
    THidResult Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) override;
    THidResult Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) override;

private:
    // Appends "cle n1 n2 ..." when the answer is to be recorded.
    void note(const char* cle, std::initializer_list<std::int64_t> nombres,
              const std::string& suite = {});

    cUSBInterface& reel_;
};
