// Draws the block diagrams of the wizard views and writes them as the BMP
// files the views load from the working directory's Images folder.

#include "wizard/DiagramArt.h"
#include "wizard/DiagramSetup.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

bool save(const QImage& image, const QString& folder, const std::string& picture)
{
    // A few flat colours: 8 bits a pixel keeps each file small.
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QString path = folder + "/" + QString::fromStdString(picture);
    if (indexed.save(path, "BMP"))
        return true;
    std::fprintf(stderr, "MakeWizardArt: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeWizardArt <runtime folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (bool early : {true, false}) {
        ok &= save(DrawDiagram(WizardDiagram::Position, early), folder,
                   DiagramPictureFile(WizardDiagram::Position, early));
        ok &= save(DrawDiagram(WizardDiagram::Velocity, early), folder,
                   DiagramPictureFile(WizardDiagram::Velocity, early));
        for (bool pin16 : {false, true})
            ok &= save(DrawDiagram(WizardDiagram::Torque, early, pin16), folder,
                       DiagramPictureFile(WizardDiagram::Torque, early, pin16));
    }
    return ok ? 0 : 1;
}
