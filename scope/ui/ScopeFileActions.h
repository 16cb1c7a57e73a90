#pragma once
// What the scope view's file buttons do, through the prompt seam: Save and
// ReCall of waveform files, and the CSV and PNG exports.

#include <QImage>

class ScopeSession;

class ScopeFileActions {
public:
    static void Save(const ScopeSession& session);
    // True when the file was read (the view then shows its settings).
    static bool Recall(ScopeSession& session);
    static void ExportCsv(const ScopeSession& session);
    static void ExportPng(const QImage& screen);
};
