<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CommandLineExports</name>
    <message numerus="yes">
        <source>%n creatures written.</source>
        <translation>
            <numerusform>%n creature written.</numerusform>
            <numerusform>%n creatures written.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ContactSheetDialog</name>
    <message numerus="yes">
        <source>%n photos saved in %1.</source>
        <translation>
            <numerusform>%n photo saved in %1.</numerusform>
            <numerusform>%n photos saved in %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Exports</name>
    <message numerus="yes">
        <source>%n creatures from %1, written %2.</source>
        <translation>
            <numerusform>%n creature from %1, written %2.</numerusform>
            <numerusform>%n creatures from %1, written %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FamilyTreeWindow</name>
    <message numerus="yes">
        <source>ancestor, %n generations up</source>
        <translation>
            <numerusform>ancestor, %n generation up</numerusform>
            <numerusform>ancestor, %n generations up</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>descendant, %n generations down</source>
        <translation>
            <numerusform>descendant, %n generation down</numerusform>
            <numerusform>descendant, %n generations down</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n people: ancestors above, descendants below. Double-click a card (or press Enter) to select the creature in the list.</source>
        <translation>
            <numerusform>%n person: ancestors above, descendants below. Double-click a card (or press Enter) to select the creature in the list.</numerusform>
            <numerusform>%n people: ancestors above, descendants below. Double-click a card (or press Enter) to select the creature in the list.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MenuDialogs</name>
    <message numerus="yes">
        <source>The family book of %n creatures is in %1 (open index.html in any browser).</source>
        <translation>
            <numerusform>The family book of %n creature is in %1 (open index.html in any browser).</numerusform>
            <numerusform>The family book of %n creatures is in %1 (open index.html in any browser).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RestoreDeletedDialog</name>
    <message numerus="yes">
        <source>The copies are kept in %1, at most %2 MiB of them, none longer than %n days.</source>
        <translation>
            <numerusform>The copies are kept in %1, at most %2 MiB of them, none longer than %n day.</numerusform>
            <numerusform>The copies are kept in %1, at most %2 MiB of them, none longer than %n days.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Remove the copies of %n deletions from the store? They cannot be restored afterwards.</source>
        <translation>
            <numerusform>Remove the copies of %n deletion from the store? They cannot be restored afterwards.</numerusform>
            <numerusform>Remove the copies of %n deletions from the store? They cannot be restored afterwards.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message numerus="yes">
        <source>All %Ln creatures of the history.</source>
        <translation>
            <numerusform>The %Ln creature of the history.</numerusform>
            <numerusform>All %Ln creatures of the history.</numerusform>
        </translation>
    </message>
</context>
</TS>
