// The results panel: the text under the play field that shows a song's results and then what
// the course and the ranking session have to say after them. It is the play screen's results
// slot; the other rooms reach it only through this class.
#pragma once

#include <string>

#include "platform/form.hpp"

namespace zb {

class ResultsPanel {
  public:
    explicit ResultsPanel(MainForm& form);

    // Lays the panel out over the lower half of the play screen and shows a song's results.
    void ShowSongResults(const std::string& text);
    // After the results wait: three empty lines stay, so that a note added next starts below
    // where the results were.
    void LeaveBlankLines();
    // Adds `text` below what is shown (the course's duplicate-song notice).
    void Append(const std::string& text);
    // The course total: shown alone, further left and in large letters.
    void ShowCourseTotal(const std::string& text);
    // One message of the ranking session, in the results' letter size, in place of the last.
    void ShowRankingMessage(const std::string& text);

    const std::string& Text() const;

  private:
    LabelControl& label_;
};

}  // namespace zb
