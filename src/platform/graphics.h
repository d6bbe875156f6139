// Pictures and drawing: bitmaps with a colour depth, canvases that paint into
// a bitmap or onto the printer page, pictures that load logos from files and
// table fields, the image control, and painting a control tree into a canvas.
#pragma once

#include "platform/control.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

// What the user is told about a picture that does not load or save.
QString NotAPictureText();
QString DamagedPictureText();
QString PictureTooLargeText(int width, int height);
QString PictureSaveText();

class QPainter;
class TBitmap;
class TPicture;

// Anything that can be drawn on a canvas.
class TGraphic : public TObject {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // The content as an RGB32 (or premultiplied ARGB32) image; null when empty.
    virtual QImage ToImage() const = 0;
};

// The image without transparency, laid on white, as RGB32.
QImage OpaqueImage(const QImage& image);

// The class library's rectangle from its four edges (right and bottom exclusive).
inline QRect Rect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

struct TBrush {
    TColor Color = clWhite;
};

struct TCanvasFont {
    QString Name = QStringLiteral("Arial");
    int Height = -13;  // pixels; the sign is ignored
    TFontStyles Style = 0;
    TColor Color = clBlack;
    QFont ToQFont() const;
};

// A drawing surface. It paints either into a bitmap (a painter is opened for
// each operation, so the bitmap may be resized or converted in between) or
// through a painter kept open elsewhere (the printer page while a document runs).
class TCanvas {
public:
    // painter() returns the open painter or raises when there is none.
    explicit TCanvas(std::function<QPainter*()> painter);
    explicit TCanvas(TBitmap* bitmap);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBrush Brush;
    TCanvasFont Font;

    // Painting is single-threaded here; the count only pairs the calls.
    void Lock() { ++locks_; }
    void Unlock() { if (locks_ > 0) --locks_; }
    int LockCount() const { return locks_; }

    void FillRect(const QRect& r);
    void TextOut(int x, int y, const QString& text);
    void Draw(int x, int y, const TGraphic& graphic);
    // Scales the graphic to fill r exactly; the proportions are not kept.
    void StretchDraw(const QRect& r, const TGraphic& graphic);

    // Runs fn with a painter on the target. A bitmap of size 0 is not painted.
    void Paint(const std::function<void(QPainter&)>& fn);

private:
    std::function<QPainter*()> painter_;
    TBitmap* bitmap_ = nullptr;
    int locks_ = 0;
};

enum TPixelFormat { pf8bit, pf24bit, pf32bit };

// A bitmap with a colour depth. The pixels live in a 32-bit image so that they
// can always be painted; setting PixelFormat converts the current content to
// that depth (8 bits: a 256-colour palette reduction, 24 bits: transparency
// dropped onto white), and later painting goes on in full colour.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    QString ClassName() const override { return QStringLiteral("TBitmap"); }

    // The size is kept even while the other side is 0 (and nothing is stored).
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Growing keeps the content at the top left and fills the rest with white.
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    void SetSize(int w, int h);

    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat f);

    TCanvas* Canvas();
    QImage ToImage() const override { return image_; }

    // Copies the content (and, from a bitmap, the colour depth).
    void Assign(const TGraphic& source);
    // Takes an image; its depth picks the pixel format (8 bits or less: pf8bit,
    // transparency: pf32bit, else pf24bit).
    void Assign(const QImage& image);

private:
    friend class TCanvas;
    friend class TPicture;
    void Replace(const QImage& image, TPixelFormat format);  // without notifying
    void Changed();

    QImage image_;
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::unique_ptr<TCanvas> canvas_;
    TPicture* owner_ = nullptr;
    unsigned revision_ = 0;
};

// A picture: an image or nothing. Pictures in graphic table fields are stored
// as bytes: a picture loaded from a file or from bytes and not changed since
// keeps its original encoding (a JPEG logo stays the JPEG as loaded); any other
// picture is stored as PNG. An empty picture is stored as no bytes. JPEG data
// is always decoded by TJPEGImage; BMP, PNG and the other formats by Qt.
class TPicture : public TObject {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    QString ClassName() const override { return QStringLiteral("TPicture"); }

    bool IsEmpty() const { return bitmap_->Empty(); }
    int Width() const { return bitmap_->Width(); }
    int Height() const { return bitmap_->Height(); }

    // Copies other; copying an empty picture (or nullptr) clears this one.
    void Assign(const TPicture& other);
    void Assign(const TPicture* other);
    void Assign(const TGraphic& graphic);
    void Clear();

    // Raises EInOutError when the file cannot be read and EInvalidGraphic when
    // its content is no picture; the picture is unchanged then.
    void LoadFromFile(const QString& path);
    // Empty bytes clear the picture; raises EInvalidGraphic on bad data.
    void LoadFromBytes(const QByteArray& bytes);
    QByteArray SaveToBytes() const;

    // The picture as a bitmap; painting on it changes the picture.
    TBitmap* Bitmap() { return bitmap_.get(); }
    const TBitmap* Bitmap() const { return bitmap_.get(); }
    // nullptr when empty.
    const TGraphic* Graphic() const { return IsEmpty() ? nullptr : bitmap_.get(); }
    QImage ToImage() const { return bitmap_->ToImage(); }

    // Any change: assignment, loading, clearing, painting or resizing the bitmap.
    TNotifyEvent OnChange;

private:
    friend class TBitmap;
    void Set(const QImage& image, TPixelFormat format, const QByteArray& encoded);
    void Changed();

    std::unique_ptr<TBitmap> bitmap_;
    QByteArray encoded_;          // the bytes it was loaded from, if any
    unsigned encodedRevision_ = 0;  // bitmap revision those bytes describe
};

// The image control. Besides the common design values it reads from the .ui
// file the dynamic properties Center, Proportional, Stretch, AutoSize,
// Transparent (bool) and PictureResource: a Qt resource path (":/…") or a file
// path whose picture is loaded as the design picture.
class TImage : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    QString ClassName() const override { return QStringLiteral("TImage"); }

    TPicture* Picture() { return &picture_; }
    const TPicture* Picture() const { return &picture_; }

    bool Center() const { return center_; }
    void SetCenter(bool v);
    // Shrinks a larger picture to fit keeping its shape; with Stretch it also
    // enlarges a smaller one.
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    // The control takes the picture's size whenever the picture changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // The colour of the bottom-left pixel shows the background through.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);

    // Where the picture is drawn inside the control.
    QRect DestRect() const;

    void LoadDesignProperties() override;

protected:
    // Runs after every change of the picture; subclasses call the base.
    virtual void PictureChanged();
    void paintEvent(QPaintEvent* e) override;

private:
    void ApplyAutoSize();

    TPicture picture_;
    bool center_ = false;
    bool proportional_ = false;
    bool stretch_ = false;
    bool autoSize_ = false;
    bool transparent_ = false;
};

// Paints the control and all its children that are not explicitly hidden into
// the canvas with its top-left corner at (x, y), as the screen shows them,
// also while the window is hidden or was never shown.
void PaintTo(TControl* control, TCanvas* canvas, int x, int y);
// The same for any widget onto an open painter.
void PaintWidgetTo(QWidget* widget, QPainter& painter, int x, int y);
