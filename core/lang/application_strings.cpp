#include "core/lang/application_strings.h"

#include "core/data/container_format.h"

void LanguageDB1GetString(TLanguageDB& /*sender*/, TLanguageDBRecord& rec) {
    if (rec.Key.empty() || rec.Key.front() != '~') {
        rec.Text = rec.Key;
        rec.Found = true;
        return;
    }
    const bool german = UpperAscii(rec.Code) == "DE";
    if (rec.Key == kVacuumDisplayKey) {
        rec.Text = german ? "Vakuumanzeige" : "Vacuum display";
        rec.Found = true;
    } else if (rec.Key == kFesteHystereseKey) {
        rec.Text = german ? "Der Schaltpunkt wird aus dem Teachdruck und der Funktionsreserve "
                            "ermittelt. Vom Teachdruck wird eine Funktionsreserve (35% des "
                            "Teachdrucks) abgezogen. "
                          : "The switching point is determined from the teach-in point and the "
                            "functional reserve. A functional reserve (35% of the teach-in "
                            "pressure) is subtracted from the teach-in pressure. ";
        rec.Found = true;
    }
}
