// An exception that escapes into Qt's event dispatch is shown, not fatal.
#include "platform/core.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class ThrowingWidget : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw EConvertError(QStringLiteral("'x' is not a valid floating point value"));
        return QWidget::event(e);
    }
};

TEST(QtApplication, ExceptionFromAnEventHandlerIsShownAndTheProgramGoesOn)
{
    ResetTestDialogs();
    ThrowingWidget w;
    QEvent e(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&w, &e));
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("'x' is not a valid floating point value"));
    EXPECT_EQ(TestDialogs().boxes[0].icon, TMsgIcon::Error);

    // Posted events too: the loop carries on after the box.
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    EXPECT_NO_THROW(QCoreApplication::processEvents());
    EXPECT_EQ(TestDialogs().boxes.size(), 2u);
}

}  // namespace
