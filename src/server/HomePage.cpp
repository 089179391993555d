#include "server/HomePage.h"

#include "server/PageLook.h"
#include "server/ScorePages.h"

std::string HomeHtml(const TDailyView& today, const std::vector<TScoreRow>& world) {
    return PageTop("Velkaro scores") + "<section class=\"panel\">" + DailyHeading(today) +
           "<p class=\"quiet\">Every daily time is verified by replay.</p>\n" +
           DailyTable(today.Rows, today.OwnName) + "<p><a href=\"/daily/" + today.Date +
           "\">The whole daily table</a></p></section>\n"
           "<section class=\"panel\"><h2>World table</h2>\n" +
           ScoresTable(world) + "<p><a href=\"/scores\">The whole world table</a></p></section>\n" +
           PageBottom();
}
