#pragma once

#include "app/WindowRegistry.h"
#include "support/TestServices.h"

#include <QStringList>
#include <memory>

class QWidget;

// Every window of the run over a temporary program folder holding the delivered password:
// the persistent ones in their registry, the modal ones made as their openers make them.
struct EveryWindow {
    TestServices services;
    WindowRegistry registry;
    std::unique_ptr<QWidget> dialog;

    EveryWindow();

    // The class names of the windows, persistent ones first.
    static QStringList names();

    // The window of class `name`, shown. A modal one replaces the one opened before.
    QWidget* open(const QString& name);
};
