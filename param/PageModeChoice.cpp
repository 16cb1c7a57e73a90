#include "param/PageModeChoice.h"

PageModeChoice& CurrentPageModeChoice()
{
    static PageModeChoice choice;
    return choice;
}
