#NAME "Carro: Deutsch-Russisch"
#INDEX_LANGUAGE "German"
#CONTENTS_LANGUAGE "Russian"
#SOURCE_CODE_PAGE "Cyrillic"

Bremse
	[m1][trn]тормоз[/trn][/m]
	[m1][i]die[/i] vordere Bremse Ч передний тормоз[/m]

Zuendkerze
	[m1][trn]свеча зажигани€[/trn][/m]

Kupplung
	[m1]сцепление, муфта сцеплени€[/m]

Nockenwelle
	распределительный вал (кулачковый)
