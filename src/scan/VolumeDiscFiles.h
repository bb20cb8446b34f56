#pragma once

#include "capture/Autorun.h"

namespace vorn {

class Volume;

// The files of a disc read through its volume (a drive or an image): each part of a
// path is looked up in its folder's listing, by its exact name or else ignoring case.
// Links are never followed.
class VolumeDiscFiles final : public DiscFiles
{
public:
    explicit VolumeDiscFiles(const Volume &volume) : m_volume(volume) {}
    std::unique_ptr<QIODevice> open(const QString &relativePath) const override;

private:
    const Volume &m_volume;
};

} // namespace vorn
