#pragma once

#include "platform/forms.h"

#include "ui_splash.h"

// Shown while the windows are created and the tables opened; the update's
// progress gauge lives here too.
class TSplashForm : public TForm, public Ui::TSplashForm {
public:
    explicit TSplashForm(TComponent* owner = nullptr);
};

extern TSplashForm* SplashForm;
