#pragma once

#include "platform/MessageBox.h"

// Counts router error messages without keeping them, so a long run holds no growing list. No box
// ever stays open, so every error reply is counted.
class QuietMessageBox final : public MessageBox
{
public:
    void showExclamation(const QString&, const QString&) override { ++m_count; }
    bool isShowing() const override { return false; }
    long count() const { return m_count; }

private:
    long m_count = 0;
};
