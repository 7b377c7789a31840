// The instructions screen, between the title and the first piece.
#include "console/IO.h"
#include "game/Screens.h"
#include "graph/Graph.h"
#include "sound/StandardSound.h"

namespace Game {

void Instructies() {
  Graph::RawOutText(30, 30, 14, "Instructies");
  Graph::RawOutText(40, 80, 13, "Gebruik de volgende toetsen:");
  Graph::RawOutText(50, 105, 9, "4 om naar links te bewegen");
  Graph::RawOutText(50, 130, 9, "6 om naar rechts te bewegen");
  Graph::RawOutText(50, 155, 9, "5 om het blokje te roteren");
  Graph::RawOutText(50, 180, 9, "2 om het blokje te doen zakken");
  Graph::RawOutText(50, 205, 9, "0 om het blokje tot beneden te sturen");
  Graph::RawOutText(40, 255, 13, "Druk op q om het programma te be\xEB" "indigen");
  Graph::RawOutText(30, 305, 14, "Druk op een toets om te beginnen...");
  StandardSound::PlaySoundEvent(StandardSound::START);
  // The key is dropped: a q here starts the game, a digit moves nothing.
  (void)IO::RdKey();
  Graph::ClearScreen(2);
}

}  // namespace Game
