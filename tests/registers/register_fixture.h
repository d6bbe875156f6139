// The program's windows over a register filled through the table engine.
#pragma once

#include "editor/editor_fixture.h"

struct StoredDoc {
    QString kind = QStringLiteral("ФАКТУРА");
    QString num = QStringLiteral("0000000001");
    QString date = QStringLiteral("15.03.2026 г.");
    QString company = QStringLiteral("Алфа ООД");
    QString customer = QStringLiteral("Клиент ЕООД");
    QString rate = QStringLiteral("20%");
    QString amount = QStringLiteral("120,00");
    QString paid = QStringLiteral("True");
    QString cancelled = QStringLiteral("False");
    QString notice;

    // One field changed, so that a record reads as one chain of changes.
    StoredDoc& Kind(const QString& v) { kind = v; return *this; }
    StoredDoc& Num(int n) { num = QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0')); return *this; }
    StoredDoc& Date(const QString& v) { date = v; return *this; }
    StoredDoc& Company(const QString& v) { company = v; return *this; }
    StoredDoc& Rate(const QString& v) { rate = v; return *this; }
    StoredDoc& Amount(const QString& v) { amount = v; return *this; }
    StoredDoc& Paid(const QString& v) { paid = v; return *this; }
    StoredDoc& Cancelled(const QString& v) { cancelled = v; return *this; }
    StoredDoc& Notice(const QString& v) { notice = v; return *this; }
};

class RegisterTest : public EditorTest {
protected:
    // Appends a register record; returns its record number.
    static int Store(const StoredDoc& d)
    {
        TTable* store = DataModule1->store;
        store->Append();
        Set(store, "Документ", d.kind);
        Set(store, "Num", d.num);
        Set(store, "От дата", d.date);
        Set(store, "Доставчик", d.company);
        Set(store, "Клиент", d.customer);
        Set(store, "Данъчна ставка", d.rate);
        Set(store, "Стойност /общо/", d.amount);
        Set(store, "Известие", d.notice);
        if (!d.paid.isEmpty())
            Set(store, "Paid?", d.paid);
        if (!d.cancelled.isEmpty())
            Set(store, "Anulirana", d.cancelled);
        Set(store, "Firm.db index", QStringLiteral("1"));
        store->Post();
        return store->RecNo();
    }
};
