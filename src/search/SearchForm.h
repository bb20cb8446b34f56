#pragma once

#include "search/SearchCriteria.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace vorn {

// What the search pane's criteria controls hold, as plain values.
struct SearchFormValues
{
    bool files = true; // Check1(0)
    bool folders = true; // Check1(1)
    int field = 0; // Combo1 list index
    int position = 0; // CbPos list index
    QString expression; // Text1
    QString minimumKilobytes; // TxtTaille(0)
    QString maximumKilobytes; // TxtTaille(1)
    QString after; // Txtdate(0)
    QString before; // Txtdate(1)
    bool members = false; // ChkRechDsZip
    bool latestOnly = false; // ChkDoublons
    bool descriptionParts[3] = {true, false, false}; // OptRechDesc(0..2)
};

// A date box's text as a day number: 0 for an empty box, the date (and optional
// time) in the locale's short formats or as "yyyy-mm-dd [hh:mm[:ss]]"; nullopt when
// the text is none of these.
std::optional<double> dateBoundFromText(const QString &text, const QLocale &locale = QLocale());

// The criteria the pane's values give. A size that does not parse reads as 0; a date
// that does not parse gives nullopt with the box (0 after, 1 before) in `badDate`.
std::optional<SearchCriteria> criteriaFromForm(const SearchFormValues &values, int *badDate = nullptr,
                                               const QLocale &locale = QLocale());

} // namespace vorn
