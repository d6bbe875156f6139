#include "app/splash.h"

TSplashForm* SplashForm = nullptr;

TSplashForm::TSplashForm(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    setWindowFlag(Qt::FramelessWindowHint, true);
    Loaded();
}
