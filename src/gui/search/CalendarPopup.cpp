#include "gui/search/CalendarPopup.h"

#include "common/DayDate.h"
#include "search/SearchForm.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>

namespace vorn {

void addCalendarPopup(QLineEdit *edit)
{
    QAction *button = edit->addAction(edit->style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    button->setObjectName(edit->objectName() + QStringLiteral("_calendar"));
    QObject::connect(button, &QAction::triggered, edit, [edit] {
        auto *calendar = new QCalendarWidget(edit);
        calendar->setWindowFlags(Qt::Popup);
        calendar->setObjectName(QStringLiteral("Calendar"));
        calendar->setAttribute(Qt::WA_DeleteOnClose);
        calendar->setGridVisible(true);
        // The box's own date when it holds one.
        const std::optional<double> day = dateBoundFromText(edit->text());
        if (day && *day != 0)
            calendar->setSelectedDate(dateTimeFromDayNumber(*day).date());
        QObject::connect(calendar, &QCalendarWidget::clicked, edit, [edit, calendar](QDate date) {
            edit->setText(QLocale().toString(date, QLocale::ShortFormat));
            calendar->close();
        });
        calendar->adjustSize();
        calendar->move(edit->mapToGlobal(QPoint(0, edit->height())));
        calendar->show();
    });
}

} // namespace vorn
