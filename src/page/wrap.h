// Breaking text into lines that fit a width measured in a font, as the page
// and the editor's grids draw it.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>

class TStringGrid;

// Whether a piece of text fits where it is to be shown.
using TextFits = std::function<bool(const QString&)>;

// Width in pixels of the widest line of text in font.
int TextWidth(const QString& text, const QFont& font);

// One line broken into pieces that each fit: at the last blank that keeps the
// piece fitting, inside a word only when the word alone does not fit, and
// never inside a character (two UTF-16 halves, a letter with its marks). The
// blanks at a break are dropped, all others are kept. A line that fits is one
// piece, unchanged; fits must hold for a start of a piece whenever it holds
// for the piece. fits is asked about texts near the length of a piece only,
// so a long line costs time in proportion to its length.
QStringList WrapToFit(const QString& line, const TextFits& fits);

// The text's lines, none wider than width pixels in font: broken at blanks,
// a word wider than the width by itself inside the word. Line feeds in the
// text stay breaks; the blanks at a break are dropped, all others are kept.
// An empty text gives one empty line. Most pieces are measured once.
QStringList WrapToWidth(const QString& text, const QFont& font, int width);

// Puts pieces[0] into the cell (col, row) and each further piece into the
// same column of a new row under it, whose other cells are empty; the rows
// below move down.
void SpreadOverRows(TStringGrid* grid, int row, int col, const QStringList& pieces);
