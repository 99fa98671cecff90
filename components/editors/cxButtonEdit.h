#pragma once
// The button editor: a masked editor that shows edit buttons beside its
// text, one ellipsis button by default. Clicking a button, or its click
// key, fires OnButtonClick with the button's index.

#include "components/editors/cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
};

// The published settings of the button editor.
class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Unit start-up: the button editor joins the registered editor kinds as
// "ButtonEdit"; shut-down only counts down.
void cxButtonEditInitialize();
void cxButtonEditFinalize();
