#pragma once
// The search across the incident: a field and the list of every hit of its
// text in the incident's documents. Typing waits for a short pause before
// it searches; the search runs on a thread of the window's own, from
// memory, and a newer text stops the one before. Enter or a double-click on
// a hit asks for its document to be opened at it.
#include "workbench/IncidentSearch.h"
#include "workbench/ui/SearchHitModel.h"
#include "workspace/LocaleFormats.h"
#include "workspace/RoleTable.h"

#include <QTimer>
#include <QWidget>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;

namespace pellam {

struct SearchInput {
    LocaleFormats formats; // how the hits' times are written
    RoleTable roles; // how record sheets are named
};

class SearchWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 250;

    explicit SearchWindow(SearchInput input, QWidget* parent = nullptr);
    ~SearchWindow() override;

    // The incident's documents, once read; until then the window says they
    // are being read, and searches as soon as they arrive.
    void SetTexts(std::shared_ptr<const IncidentTexts> texts);

    // Searches for the field's text now (the pause timer's tick, and Enter in the field).
    void Search();
    // Opens the hit of the list's row (Enter, a double-click).
    void Activate(const QModelIndex& viewIndex);

    QLineEdit* field() const { return m_field; }
    QTreeView* list() const { return m_list; }
    QLabel* status() const { return m_status; }
    const SearchHitModel& hits() const { return *m_hits; }

signals:
    // The hit [position, position + length) of `document` is to be shown.
    void hitActivated(const pellam::IncidentDocument& document, int position, int length);

private:
    struct Job {
        unsigned generation = 0;
        std::shared_ptr<const IncidentSearch> search;
        std::u16string query;
        std::stop_token stop;
    };
    void Post(Job job);
    void Work(std::stop_token quit);
    void Show(unsigned generation, SearchAnswer answer);

    SearchInput m_input;
    std::shared_ptr<const IncidentTexts> m_texts;
    std::shared_ptr<const IncidentSearch> m_search;
    SearchHitModel* m_hits = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QLineEdit* m_field = nullptr;
    QTreeView* m_list = nullptr;
    QLabel* m_status = nullptr;
    QTimer m_pause {this};
    unsigned m_generation = 0;

    // The newest search waiting for the worker, and the stop of the one it runs.
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::optional<Job> m_job;
    std::stop_source m_current;
    std::jthread m_worker;
};

} // namespace pellam
