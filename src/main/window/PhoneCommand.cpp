#include "main/window/PhoneCommand.h"

#include "data/Errors.h"
#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "main/app/Messages.h"
#include "main/dialogs/PhoneNumber.h"
#include "main/window/FramePlacement.h"
#include "main/window/MainMenus.h"
#include "main/window/WindowContext.h"
#include "search/Phone.h"

PhoneCommand::PhoneCommand(WindowContext& context, MainMenus& menus,
                           std::function<void(corvana::SearchResult)> apply)
    : QObject(&context.owner()), context_(context), window_(context.owner()), menus_(menus),
      apply_(std::move(apply)) {
    connect(&menus_, &MainMenus::phoneChosen, this, &PhoneCommand::MenuPhoneClick);
    connect(&menus_, &MainMenus::editMenuOpening, this, [this] { available(); });
}

PhoneCommand::~PhoneCommand() = default;

TPhoneNumber* PhoneCommand::phoneWindow() const {
    return dialog_;
}

void PhoneCommand::checkData() {
    if (corvana::DataFileMissing(context_.data().path(corvana::filenames::ExchangeDat)))
        menus_.setPhoneUnavailable(corvana::msg::NoExchanges);
}

bool PhoneCommand::available() {
    if (!menus_.phoneEnabled())
        return false;
    const corvana::ExchangesLoad& load = exchanges_.get(context_.data());
    if (load.status != corvana::ExchangesStatus::Loaded) {
        menus_.setPhoneUnavailable(fromCore(load.message));
        return false;
    }
    return true;
}

void PhoneCommand::MenuPhoneClick() {
    if (context_.ended())
        return;
    if (!available()) {
        const corvana::ExchangesLoad& load = exchanges_.get(context_.data());
        context_.messages().message(&window_, corvana::caption::Error, fromCore(load.message));
        return;
    }
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    TPhoneNumber::Source source;
    source.context = [this] {
        return corvana::PhoneContext{exchanges_.get(context_.data()), context_.settings(),
                                     context_.searchContext().time, corvana::CallWindow{}};
    };
    source.listZipCodes = [this](const corvana::PhoneAnswer& answer) {
        if (!context_.ended())
            apply_(corvana::PhoneZipCodes(answer, context_.searchContext()));
    };
    source.help = [this](const QString& keyword) { context_.help(keyword); };
    dialog_ = new TPhoneNumber(std::move(source), text_, context_.scaleFactor(),
                               context_.screenSize(), &window_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    // The text stays for the next opening, as a search field keeps its own.
    connect(dialog_, &QDialog::finished, this, [this] {
        if (dialog_)
            text_ = dialog_->text();
    });
    dialog_->show();
    // Beside the main window, so that the list it fills stays in view.
    PlaceBeside(*dialog_, window_, context_.screenSize());
    dialog_->raise();
    dialog_->activateWindow();
}

void PhoneCommand::rescale() {
    if (!dialog_ || !dialog_->isVisible())
        return;
    closeWindow();
    MenuPhoneClick();
}

void PhoneCommand::closeWindow() {
    if (!dialog_)
        return;
    dialog_->close();
    // It goes when the events are next handled; a new one may be wanted before.
    dialog_ = nullptr;
}
