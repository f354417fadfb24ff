#include "main/window/DetailsCommand.h"

#include "main/app/Messages.h"
#include "main/dialogs/ZipDetails.h"
#include "main/window/FramePlacement.h"
#include "main/window/MainMenus.h"
#include "main/window/ResultsView.h"
#include "main/window/WindowContext.h"
#include "search/ZipDetails.h"

// What the details window says while the list holds no ZIP line.
const char* const DetailsCommand::NothingListed = "The list shows no zip code.";

DetailsCommand::DetailsCommand(WindowContext& context, MainMenus& menus, ResultsView& results)
    : QObject(&context.owner()), context_(context), window_(context.owner()), menus_(menus),
      results_(results), facts_(context.data()) {}

DetailsCommand::~DetailsCommand() = default;

void DetailsCommand::update() {
    menus_.setZipDetailsEnabled(!damaged_ && results_.listShown() && results_.hasRecords());
}

void DetailsCommand::MenuZipDetailsClick() {
    show(true);
}

void DetailsCommand::show(bool activate) {
    const corvana::ResultItem* line = results_.currentRecord();
    if (context_.ended() || !menus_.zipDetailsEnabled() || !line)
        return;
    // The facts are read now, not at start; damaged ones switch the command off for good.
    const corvana::FactsLoad& load = facts_.get();
    if (load.status == corvana::FactsStatus::Damaged) {
        damaged_ = true;
        menus_.setZipDetailsUnavailable(fromCore(load.message));
        update();
        if (details_)
            details_->close();
        context_.messages().message(&window_, corvana::caption::Error, fromCore(load.message));
        return;
    }
    // Read with the facts, when the details are first wanted; a damaged file leaves its message
    // in the Population group and the rest of the details as they are.
    if (!people_)
        people_ = corvana::LoadPeople(context_.data());
    const corvana::ZipDetailsResult result = detailsOf(corvana::ListedZipCode(*line));
    if (!result.fatal.empty()) {
        context_.FatalEnd(result.fatal);
        return;
    }
    if (result.ioError) {
        context_.messages().message(&window_, corvana::caption::Error, fromCore(*result.ioError));
        return;
    }
    if (!details_) {
        details_ = new TZipDetails(context_.scaleFactor(), context_.screenSize(), &window_);
        details_->setWindowFlag(Qt::WindowStaysOnTopHint, context_.settings().alwaysOnTop);
        details_->startTicking([this] { tick(); });
        details_->setPeople(&*people_);
    }
    details_->showDetails(result);
    if (!details_->isVisible()) {
        details_->show();
        // Beside the main window, clear of the list whose lines it follows.
        PlaceBeside(*details_, window_, context_.screenSize());
    }
    if (activate) {
        details_->raise();
        details_->activateWindow();
    }
}

corvana::ZipDetailsResult DetailsCommand::detailsOf(const std::string& zip) {
    const corvana::geo::PointsLoad* places = context_.hasLocations() ? &context_.points() : nullptr;
    const corvana::DetailsContext ctx{context_.data(),
                                      context_.settings(),
                                      context_.searchContext().time,
                                      places && places->points ? &*places->points : nullptr,
                                      &facts_,
                                      people_ && people_->people ? &*people_->people : nullptr};
    return corvana::DetailsOfZip(zip, ctx);
}

void DetailsCommand::tick() {
    if (!details_ || details_->zipCode().isEmpty() || context_.ended())
        return;
    const corvana::ZipDetailsResult result = detailsOf(details_->zipCode().toStdString());
    // A file that fails now says so at the next command that reads it, not every second.
    if (result.ok())
        details_->showDetails(result);
}

void DetailsCommand::follow() {
    if (!details_ || !details_->isVisible() || context_.ended())
        return;
    // A list without ZIP lines leaves nothing to show: a record it does not hold would read as
    // the answer to what was typed.
    const corvana::ResultItem* line = results_.listShown() ? results_.currentRecord() : nullptr;
    if (!line) {
        details_->showNothing(NothingListed);
        return;
    }
    update();
    if (QString::fromStdString(corvana::ListedZipCode(*line)) != details_->zipCode())
        show(false);
}

void DetailsCommand::closeWindow() {
    if (details_)
        details_->close();
}

TZipDetails* DetailsCommand::detailsWindow() const {
    return details_.data();
}
