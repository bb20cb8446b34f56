#pragma once

#include "common/RunObserver.h"
#include "common/UserPrompt.h"

#include <QString>

namespace vorn::bench {

// An observer that answers every question with "no change" and shows nothing.
class QuietObserver : public RunObserver
{
public:
    UserPrompt &prompt() override { return m_prompt; }
    const QuietPrompt &quiet() const { return m_prompt; }

private:
    QuietPrompt m_prompt;
};

// Makes a catalogue of `discs` × `files` with vorn-synth beside the running program,
// unless the folder already holds one, so later runs measure with a warm file cache.
bool ensureCatalogue(const QString &folder, int discs, int files, int firstIdentifier);

// Makes a host folder standing for a disc of `files` files in files/20 folders (2 %
// small text files), with its ".vorn-volume", unless it is there already.
bool ensureDiscTree(const QString &root, int files);

} // namespace vorn::bench
