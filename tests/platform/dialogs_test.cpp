// The real dialogs (not the tests' scripted ones): what a user sees in them.
#include "platform/dialogs.h"
#include "platform/locale.h"
#include "support/test_env.h"

#include <QApplication>
#include <QDialog>
#include <QAbstractFileIconProvider>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Opens a real dialog through open(), lets inspect() look at it, then cancels it.
template <class Open>
void InspectRealDialog(Open open, const std::function<void(QDialog*)>& inspect)
{
    SetDialogs(nullptr);
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || seen)
            return;
        seen = true;
        inspect(d);
        d->reject();
    });
    poll.start(10);
    EXPECT_FALSE(open());
    EXPECT_TRUE(seen);
    SetDialogs(&TestDialogs());
}

QStringList ButtonTexts(QDialog* d)
{
    QStringList texts;
    if (auto* box = d->findChild<QDialogButtonBox*>())
        for (QAbstractButton* b : box->buttons())
            texts << b->text().remove(QLatin1Char('&'));
    return texts;
}

TEST(RealDialogs, PrinterSetupConfirmsWithOkAndNeverOffersToPrint)
{
    InspectRealDialog([] { return Dialogs()->PrinterSetup(nullptr); },
                      [](QDialog* d) {
                          EXPECT_EQ(d->windowTitle(), QStringLiteral("Настройки на принтера"));
                          const QStringList texts = ButtonTexts(d);
                          EXPECT_TRUE(texts.contains(QStringLiteral("OK"))) << texts.join('|').toStdString();
                          EXPECT_FALSE(texts.contains(QStringLiteral("Print"))) << texts.join('|').toStdString();
                      });
}

TEST(RealDialogs, QtsOwnTextsFollowABulgarianLocale)
{
    ASSERT_TRUE(LoadQtTranslations(QStringLiteral("bg_BG")));
    QString folder = QStringLiteral("/");
    InspectRealDialog([&] { return Dialogs()->SelectDirectory(QStringLiteral("Папка"), QString(), folder); },
                      [](QDialog* d) {
                          const QStringList texts = ButtonTexts(d);
                          EXPECT_TRUE(texts.contains(QStringLiteral("Отказ"))) << texts.join('|').toStdString();
                      });
    EXPECT_TRUE(LoadQtTranslations(QString()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(RealDialogs, TheLogoChooserOffersThePicturesThatLoadAndNamesFoldersInBulgarian)
{
    ASSERT_TRUE(LoadQtTranslations(QStringLiteral("bg_BG")));
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Лога")));
    QString file = dir.filePath(QStringLiteral("logo.jpg"));
    InspectRealDialog([&] { return Dialogs()->OpenPicture(file); },
                      [&](QDialog* d) {
                          auto* files = qobject_cast<QFileDialog*>(d);
                          ASSERT_NE(files, nullptr);
                          const QStringList filters = files->nameFilters();
                          EXPECT_TRUE(filters.contains(QStringLiteral("Картини (*.jpg *.jpeg *.png *.bmp)")))
                              << filters.join('|').toStdString();
                          EXPECT_EQ(filters.last(), QStringLiteral("Всички файлове (*)"));
                          // The type column of the file list.
                          ASSERT_NE(files->iconProvider(), nullptr);
                          EXPECT_EQ(files->iconProvider()->type(QFileInfo(dir.filePath(QStringLiteral("Лога")))),
                                    QStringLiteral("Папка"));
                      });
    EXPECT_TRUE(LoadQtTranslations(QString()));
}

}  // namespace

TEST(RealDialogs, AMessageBoxWithoutACaptionCarriesTheProgramsTitle)
{
    // The window system would title it with the executable's name.
    QString title;
    InspectRealDialog(
        [] {
            MessageBox(nullptr, QStringLiteral("Текст"), QString(), TMsgIcon::Warning);
            return false;
        },
        [&](QDialog* d) { title = d->windowTitle(); });
    EXPECT_EQ(title, QStringLiteral("Quarnel"));
}

TEST(RealDialogs, AMessageBoxBelongsToItsWindowAndStaysAboveStayOnTopWindows)
{
    QWidget editor;
    editor.setWindowTitle(QStringLiteral("Документ"));
    QWidget goods;
    goods.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* field = new QWidget(&editor);
    editor.show();
    goods.show();
    QApplication::setActiveWindow(&editor);  // as the window manager does on a click
    QApplication::processEvents();

    const auto ask = [](QWidget* owner, QWidget* expectedParent) {
        InspectRealDialog(
            [owner] { return MessageBox(owner, QStringLiteral("Невалидно число."), QString(), TMsgIcon::Error) == mrOk; },
            [expectedParent](QDialog* d) {
                EXPECT_EQ(d->parentWidget(), expectedParent);
                EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
            });
    };
    // Raised by a control: owned by its window, above the stay-on-top goods windows.
    ask(field, &editor);
    // Raised with no window named (an error of the class library): the active one.
    QApplication::setActiveWindow(&editor);
    ASSERT_EQ(QApplication::activeWindow(), &editor);
    ask(nullptr, &editor);
    // No stay-on-top window shown: a plain box of its window.
    goods.hide();
    InspectRealDialog(
        [&] { return MessageBox(field, QStringLiteral("Невалидно число."), QString(), TMsgIcon::Error) == mrOk; },
        [&](QDialog* d) {
            EXPECT_EQ(d->parentWidget(), &editor);
            EXPECT_FALSE(d->windowFlags() & Qt::WindowStaysOnTopHint);
        });
}
