#pragma once

namespace vorn::cli {

// The text `vorn-cli help COMMAND` prints after the usage line: every flag with its
// meaning and default. The command line's own texts are English whatever --lang says.
namespace help {
extern const char catalog[];
extern const char list[];
extern const char show[];
extern const char search[];
extern const char index[];
extern const char bookmarks[];
extern const char report[];
extern const char exportHtml[];
extern const char exportList[];
extern const char exportDiscs[];
extern const char rename[];
extern const char deleteDisc[];
extern const char describe[];
extern const char keywords[];
extern const char bookmark[];
} // namespace help

} // namespace vorn::cli
