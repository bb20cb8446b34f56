#pragma once

namespace vorn {

class UserPrompt;
struct EditResult;

// Tells the user what a disc transaction refused (exclamation icon) or could not do
// (critical icon); a change done, a cancel or nothing to do says nothing.
void reportEdit(UserPrompt &prompt, const EditResult &result);

} // namespace vorn
