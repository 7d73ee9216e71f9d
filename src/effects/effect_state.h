// What every special-block effect shares: the commands and the mouse hot spots while it runs, the
// slide of lifted blocks, and the way back to play (or on to the row clear) when it is over.
#pragma once

#include "game/effect_table.h"
#include "game/game_state.h"
#include "play/play_record.h"

// Lifted blocks slide down at this many cells per second.
constexpr int MOVE_CELLS_PER_SECOND = 20;
// How long the earth shakes and the fire burns.
constexpr float SHOCK_SECONDS = 1.4f;

class Effect_State : public Game_State {
  public:
    // The game as it stood when the effect began, under the effect's own id. The effect changes
    // the play record as it runs and holds lifted blocks of its own, so a game closed meanwhile is
    // saved as this: the next start runs the effect once, from its beginning, on the same well.
    const Play_Record at_entry;

    // Movement keys keep the play flags up to date; space toggles the pause flag (the effect runs
    // on regardless) and escape leaves for the main menu.
    bool handle_command(Command command, const char* text) override;
    // A press on the pause or the escape hot spot acts as that key.
    bool handle_mouse(Mouse_Action action, int x, int y) override;

  protected:
    explicit Effect_State(State_Id id); // takes at_entry from the play record

    // The effect's row of the effect table: its sound and its picture strip. Only the special-block
    // effects have one (not the row clear).
    const Special_Effect& table_row() const { return *row_; }

    // Moves a slide offset on by one frame of the given seconds, clamped at one block; answers
    // whether it is there.
    static bool slide_down(float& offset, double seconds);
    // Where the effect goes when it is over: the row clear when the well has full rows, else back
    // to play, after dropping the held movement keys.
    State_Id way_out();
    // Asks for a switch to way_out(), made once the effect's frame is over.
    void leave();
    // Draws the sidebar when the game has one (a frame of the given seconds).
    static void draw_sidebar_if_any(double seconds);

  private:
    const Special_Effect* const row_; // none for the row clear
};
