#include "platform/graphics.h"

#include "platform/jpeg.h"
#include "platform/sysutils.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QVariant>
#include <QtDebug>

#include <algorithm>
#include <cstdlib>

QImage OpaqueImage(const QImage& image)
{
    if (image.isNull())
        return {};
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    return out;
}

namespace {

TPixelFormat FormatFor(const QImage& image)
{
    if (image.depth() <= 8)
        return pf8bit;
    return image.hasAlphaChannel() ? pf32bit : pf24bit;
}

// The backing form of a bitmap: 32 bits, premultiplied when transparent.
QImage Backing(const QImage& image)
{
    if (image.isNull())
        return {};
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

QImage DecodePicture(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        throw EInvalidGraphic(NotAPictureText());
    if (TJPEGImage::IsJpeg(bytes))
        return TJPEGImage::Decode(bytes);
    QImage image;
    if (!image.loadFromData(bytes) || image.isNull())
        throw EInvalidGraphic(NotAPictureText());
    return image;
}

}  // namespace

QString NotAPictureText()
{
    return QStringLiteral("Файлът не е картина във формат, който програмата чете.\nИзберете картина JPEG, PNG или BMP.");
}

QString DamagedPictureText()
{
    return QStringLiteral("Картината е повредена и не може да бъде прочетена.\nИзберете друга картина JPEG, PNG или BMP.");
}

QString PictureTooLargeText(int width, int height)
{
    return QStringLiteral("Картината е твърде голяма (%1 x %2 точки).\nИзберете по-малка картина.").arg(width).arg(height);
}

QString PictureSaveText()
{
    return QStringLiteral("Картината не може да бъде записана.\nОпитайте отново.");
}

// ---- TCanvasFont, TCanvas ----

QFont TCanvasFont::ToQFont() const
{
    QFont f(Name);
    f.setPixelSize(Height == 0 ? 13 : std::abs(Height));
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    return f;
}

TCanvas::TCanvas(std::function<QPainter*()> painter) : painter_(std::move(painter)) {}
TCanvas::TCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}

void TCanvas::Paint(const std::function<void(QPainter&)>& fn)
{
    if (bitmap_) {
        if (bitmap_->image_.isNull())
            return;
        {
            QPainter p(&bitmap_->image_);
            fn(p);
        }
        bitmap_->Changed();
        return;
    }
    QPainter* p = painter_();
    struct Restore {
        QPainter* p;
        ~Restore() { p->restore(); }
    } restore{p};
    p->save();
    fn(*p);
}

void TCanvas::FillRect(const QRect& r)
{
    const QColor c = ColorToQColor(Brush.Color);
    if (!c.isValid())
        return;
    Paint([&](QPainter& p) { p.fillRect(r, c); });
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    Paint([&](QPainter& p) {
        const QFont f = Font.ToQFont();
        p.setFont(f);
        const QFontMetrics fm(f, p.device());
        const QRect r(x, y, fm.horizontalAdvance(text), fm.height());
        const QColor back = ColorToQColor(Brush.Color);
        if (back.isValid())
            p.fillRect(r, back);
        p.setPen(ColorToQColor(Font.Color));
        p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    });
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    const QImage image = graphic.ToImage();
    Paint([&](QPainter& p) { p.drawImage(QPoint(x, y), image); });
}

void TCanvas::StretchDraw(const QRect& r, const TGraphic& graphic)
{
    if (graphic.Empty() || r.isEmpty())
        return;
    const QImage image = graphic.ToImage();
    Paint([&](QPainter& p) { p.drawImage(r, image); });
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == width_ && h == height_)
        return;
    width_ = w;
    height_ = h;
    if (w == 0 || h == 0) {
        image_ = QImage();
    } else {
        QImage next(w, h, image_.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        next.fill(Qt::white);
        if (!image_.isNull()) {
            QPainter p(&next);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, image_);
        }
        image_ = next;
    }
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat f)
{
    if (f == format_)
        return;
    format_ = f;
    if (!image_.isNull()) {
        if (f == pf8bit)
            image_ = OpaqueImage(image_).convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32);
        else if (f == pf24bit)
            image_ = OpaqueImage(image_);
    }
    Changed();
}

TCanvas* TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>(this);
    return canvas_.get();
}

void TBitmap::Assign(const TGraphic& source)
{
    if (&source == this)
        return;
    if (const auto* b = dynamic_cast<const TBitmap*>(&source))
        Replace(b->image_, b->format_);
    else
        Replace(Backing(source.ToImage()), FormatFor(source.ToImage()));
    Changed();
}

void TBitmap::Assign(const QImage& image)
{
    Replace(Backing(image), FormatFor(image));
    Changed();
}

void TBitmap::Replace(const QImage& image, TPixelFormat format)
{
    image_ = image;
    width_ = image.width();
    height_ = image.height();
    format_ = format;
    ++revision_;
}

void TBitmap::Changed()
{
    ++revision_;
    if (owner_)
        owner_->Changed();
}

// ---- TPicture ----

TPicture::TPicture() : bitmap_(std::make_unique<TBitmap>()) { bitmap_->owner_ = this; }
TPicture::~TPicture() = default;

void TPicture::Set(const QImage& image, TPixelFormat format, const QByteArray& encoded)
{
    bitmap_->Replace(image, format);
    encoded_ = encoded;
    encodedRevision_ = bitmap_->revision_;
    Changed();
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Assign(const TPicture& other)
{
    if (&other == this)
        return;
    const bool encodedValid = other.encodedRevision_ == other.bitmap_->revision_;
    Set(other.bitmap_->image_, other.bitmap_->format_, encodedValid ? other.encoded_ : QByteArray());
}

void TPicture::Assign(const TPicture* other)
{
    if (other)
        Assign(*other);
    else
        Clear();
}

void TPicture::Assign(const TGraphic& graphic)
{
    if (graphic.Empty()) {
        Clear();
        return;
    }
    if (const auto* b = dynamic_cast<const TBitmap*>(&graphic))
        Set(b->image_, b->format_, {});
    else
        Set(Backing(graphic.ToImage()), FormatFor(graphic.ToImage()), {});
}

void TPicture::Clear() { Set(QImage(), bitmap_->format_, {}); }

void TPicture::LoadFromFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(FileOpenText(path));
    const QByteArray bytes = f.readAll();
    const QImage image = DecodePicture(bytes);
    Set(Backing(image), FormatFor(image), bytes);
}

void TPicture::LoadFromBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        Clear();
        return;
    }
    const QImage image = DecodePicture(bytes);
    Set(Backing(image), FormatFor(image), bytes);
}

QByteArray TPicture::SaveToBytes() const
{
    if (IsEmpty())
        return {};
    if (!encoded_.isEmpty() && encodedRevision_ == bitmap_->revision_)
        return encoded_;
    QImage image = bitmap_->image_;
    if (bitmap_->format_ == pf8bit)
        image = OpaqueImage(image).convertToFormat(QImage::Format_Indexed8);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw EInvalidGraphic(PictureSaveText());
    return bytes;
}

// ---- TImage ----

TImage::TImage(QWidget* parent) : QWidget(parent), TControl(this)
{
    picture_.OnChange = [this](TObject*) { PictureChanged(); };
}

void TImage::SetCenter(bool v)
{
    if (center_ != v) {
        center_ = v;
        update();
    }
}

void TImage::SetProportional(bool v)
{
    if (proportional_ != v) {
        proportional_ = v;
        update();
    }
}

void TImage::SetStretch(bool v)
{
    if (stretch_ != v) {
        stretch_ = v;
        update();
    }
}

void TImage::SetAutoSize(bool v)
{
    if (autoSize_ != v) {
        autoSize_ = v;
        ApplyAutoSize();
    }
}

void TImage::SetTransparent(bool v)
{
    if (transparent_ != v) {
        transparent_ = v;
        update();
    }
}

void TImage::ApplyAutoSize()
{
    if (autoSize_ && !picture_.IsEmpty())
        SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

void TImage::PictureChanged()
{
    ApplyAutoSize();
    update();
}

QRect TImage::DestRect() const
{
    int w = picture_.Width();
    int h = picture_.Height();
    if (w <= 0 || h <= 0)
        return {};
    const int cw = width();
    const int ch = height();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_) {
            const double scale = std::min(double(cw) / w, double(ch) / h);
            w = std::max(1, int(w * scale + 0.5));
            h = std::max(1, int(h * scale + 0.5));
        } else {
            w = cw;
            h = ch;
        }
    }
    QRect r(0, 0, w, h);
    if (center_)
        r.moveTo((cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::paintEvent(QPaintEvent*)
{
    if (picture_.IsEmpty())
        return;
    QImage image = picture_.ToImage();
    if (transparent_ && !image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = image.pixel(0, image.height() - 1) & 0xFFFFFF;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key)
                    line[x] = 0;
        }
    }
    const QRect dest = DestRect();
    QPainter p(this);
    if (dest.size() != image.size())
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(dest, image);
}

void TImage::LoadDesignProperties()
{
    TControl::LoadDesignProperties();
    const auto flag = [this](const char* name, bool& into) {
        const QVariant v = property(name);
        if (v.isValid())
            into = v.toBool();
    };
    flag("Center", center_);
    flag("Proportional", proportional_);
    flag("Stretch", stretch_);
    flag("Transparent", transparent_);
    flag("AutoSize", autoSize_);
    const QVariant resource = property("PictureResource");
    if (resource.isValid() && !resource.toString().isEmpty()) {
        try {
            picture_.LoadFromFile(resource.toString());
        } catch (const Exception& e) {
            // A missing design picture leaves the control empty rather than
            // stopping the window from being built.
            qWarning("%s: design picture not loaded: %s", qPrintable(objectName()), qPrintable(e.Message));
        }
    }
    ApplyAutoSize();
    update();
}

// ---- PaintTo ----

// Children of a window that was never shown are not flagged hidden by Qt, so
// rendering with DrawChildren paints them as a later show() would; explicitly
// hidden children are left out.
void PaintWidgetTo(QWidget* widget, QPainter& painter, int x, int y)
{
    widget->render(&painter, QPoint(x, y), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void PaintTo(TControl* control, TCanvas* canvas, int x, int y)
{
    canvas->Paint([&](QPainter& p) { PaintWidgetTo(control->Widget(), p, x, y); });
}
