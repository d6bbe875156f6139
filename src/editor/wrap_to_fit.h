// Breaking a line of text into pieces that fit a measured width.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Whether a piece of text fits where it is to be shown.
using TextFits = std::function<bool(const QString&)>;

// One line broken into pieces that each fit: at the last blank that keeps the
// piece fitting (the blank is dropped), inside a word only when the word alone
// does not fit. A line that fits is one piece, unchanged.
QStringList WrapToFit(const QString& line, const TextFits& fits);
