#pragma once

#include <QString>
#include <QStringView>

namespace vorn {

// Text from a disc or a user made safe for HTML text and quoted attribute values:
// & < > " ' become references, and characters XML does not allow (C0 controls other
// than tab, CR and LF, and lone surrogates) become U+FFFD.
QString htmlEscaped(QStringView text);

// One path segment of a relative URL: every byte of its UTF-8 form outside the
// unreserved set is percent-encoded, so the result is also safe inside a quoted
// attribute and a CSS url('...').
QString urlSegment(const QString &text);

} // namespace vorn
