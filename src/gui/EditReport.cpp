#include "gui/EditReport.h"

#include "common/UserPrompt.h"
#include "edit/EditResult.h"

namespace vorn {

void reportEdit(UserPrompt &prompt, const EditResult &result)
{
    const QString text = result.text();
    if (text.isEmpty())
        return;
    if (result.outcome == EditResult::Outcome::Refused)
        prompt.warn(text);
    else if (result.outcome == EditResult::Outcome::Failed)
        prompt.fail(text);
}

} // namespace vorn
