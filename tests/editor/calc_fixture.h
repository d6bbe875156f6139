// The calculator, the editor and the page window built bare for a test (no
// data module, no main window), with mem.txt and payment.txt in a temporary
// folder. Windows are created in start-up order and freed afterwards.
#pragma once

#include "editor/calc.h"
#include "editor/orderform.h"
#include "page/doc.h"
#include "platform/locale.h"
#include "platform/strings.h"
#include "support/test_env.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class CalcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = FormatSettings();
        SetBulgarianLocale();
        ResetTestDialogs();
        ASSERT_TRUE(dir_.isValid());
    }

    void TearDown() override
    {
        delete Form1;
        Form1 = nullptr;
        delete Doc;
        Doc = nullptr;
        delete OrderForm;
        OrderForm = nullptr;
        FormatSettings() = saved_;
    }

    // The calculator alone, created as at start-up (its creation handler runs).
    void StartCalculator()
    {
        Form1 = new TForm1(nullptr);
        Form1->FilesDir = dir_.path();
        Form1->OnCreate(Form1);
    }

    // Editor and page first, as at start-up, then the calculator.
    void StartEditor()
    {
        OrderForm = new TOrderForm(nullptr);
        Doc = new TDoc(nullptr);
        StartCalculator();
    }

    QString FilePath(const char* name) const { return dir_.path() + QLatin1Char('/') + QLatin1String(name); }

    void WriteFile(const char* name, const QString& text) const
    {
        QFile f(FilePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(EncodeCp1251(text));
    }

    QByteArray ReadFile(const char* name) const
    {
        QFile f(FilePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir_;

private:
    TFormatSettings saved_;
};
