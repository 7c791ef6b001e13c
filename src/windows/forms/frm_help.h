#pragma once

#include <functional>
#include <utility>

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace morvast {

// How the player left one showing of the help window.
enum class HelpAnswer { Next, Close, CloseBox };

// The help window of the tour: one text at a time, Next to go on, Close (or the close box) to
// end the tour. One object serves a whole tour; it is loaded and unrolled anew for every text.
class frmHelp : public QDialog {
    Q_OBJECT
  public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Set by the caller before each showing.
    QString strText;
    // Set once the player ends the tour by Close or the close box; Next leaves it as it is.
    bool blnClose = false;

    // Loads the window with strText, centres it over owner and shows it modally until it is
    // unloaded; returns how the player left it.
    HelpAnswer showModal(QWidget* owner);

    // Lets a test answer every showing instead of the player: the window is loaded as usual,
    // then answer is asked with the loaded window and its reply is taken as the player's click,
    // without a modal loop. An empty function gives the player back the answer.
    using Answerer = std::function<HelpAnswer(frmHelp&)>;
    void setAnswerer(Answerer answer) { answerer_ = std::move(answer); }

    // The window's outer height in twips, which the unrolling counts.
    int heightTwips() const { return heightTwips_; }

    void Form_Load();
    void tmrResize_Timer();
    void cmdNext_Click();
    void cmdClose_Click();
    // Closing other than by Next or Close: that ends the tour.
    void Form_QueryUnload();

    QPlainTextEdit* txtText;
    QPushButton* cmdNext;
    QPushButton* cmdClose;
    QTimer* tmrResize;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void setHeightTwips(int h);
    void unload(HelpAnswer answer);

    Answerer answerer_;
    HelpAnswer answer_ = HelpAnswer::Next;
    int heightTwips_ = 0;
};

}  // namespace morvast
