#pragma once

#include <binder/Parcel.h>

#include <vector>

#include "bundle/Bundle.h"

namespace status {

// An ordered list of bundle handles; each element shares its tree with the bundle
// it was copied from.
class STATUSITEM_EXPORT BundleArray {
public:
    static constexpr const char* BUNDLE_CLASS_NAME = "com.quorvel.dovra.statusitem.Bundle";

    BundleArray() = default;
    explicit BundleArray(android::Parcel* p);
    virtual ~BundleArray();
    virtual int numBundles() const;

    void toParcel(android::Parcel* p) const;

    std::vector<Bundle> mBundles;
};

}  // namespace status
