// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Checks, with Qt Test's comparisons, that a version record is that of Idrovela 1.00 in
// Italian naming the given company: the fixed part field by field, the translation before
// the strings, the six strings in their order, and the root's length equal to the record's.
// The calling test returns when QTest::currentTestFailed().
void VerificaVersione(const QByteArray& record, const QString& azienda);
