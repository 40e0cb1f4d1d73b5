#pragma once

#include "platform/MessageBox.h"

// Counts router error messages without keeping them, so a long run holds no growing list.
class QuietMessageBox final : public MessageBox
{
public:
    void showExclamation(const QString&, const QString&) override { ++m_count; }
    long count() const { return m_count; }

private:
    long m_count = 0;
};
