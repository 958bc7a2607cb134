#pragma once
#include "platform/InputMode.h"

// The answer box. Every character goes to the standard edit handling
// unchanged; the box's styles and input mode do the shaping.
class CCharEdit : public CEditCtrl {
    Q_OBJECT
public:
    explicit CCharEdit(QWidget* parent = nullptr) : CEditCtrl(parent) {}

protected:
    void OnChar(QKeyEvent* event) override { CEditCtrl::OnChar(event); }
};
